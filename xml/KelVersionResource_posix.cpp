// No executable format used off Windows carries a version resource.
#include "xml/KelVersionResource.h"

bool GetFileVersionResource(const String&, TDynByteArray& Buffer) {
  Buffer.clear();
  return false;
}

bool QueryVersionResource(const TDynByteArray& Buffer, const String& SubBlock, const void*& Value, Cardinal& Length) {
  return VersionBlockQuery(Buffer.data(), Buffer.size(), SubBlock, Value, Length);
}
