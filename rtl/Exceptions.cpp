#include "rtl/Exceptions.h"

#include "rtl/Unicode.h"

Exception::Exception(String message, int helpContext)
    : FMessage(std::move(message)), FUtf8(UTF16ToUTF8(FMessage)), FHelpContext(helpContext) {}

void Exception::SetMessage(String message) {
  FMessage = std::move(message);
  FUtf8 = UTF16ToUTF8(FMessage);
}
