// Replacing a file in one step on POSIX systems: write a sibling, fsync, rename.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rtl/Exceptions.h"
#include "rtl/Unicode.h"
#include "xml/KelSimpleXmlPrivate.h"

namespace KelXml {

namespace {

String SystemMessage(int Error) { return UTF8ToUTF16(std::strerror(Error)); }

}  // namespace

void ReplaceFileContents(const String& FileName, const void* Data, size_t Size) {
  const std::string Target = UTF16ToUTF8(FileName);
  const std::string Temp = Target + ".tmp~" + std::to_string(static_cast<long>(getpid()));
  // Keep the permissions of the file being replaced.
  mode_t Mode = 0666;
  struct stat Info;
  if (stat(Target.c_str(), &Info) == 0) Mode = Info.st_mode & 07777;
  int Fd = open(Temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, Mode);
  if (Fd < 0) throw EFCreateError(u"Cannot create file \"" + UTF8ToUTF16(Temp) + u"\". " + SystemMessage(errno));
  const char* P = static_cast<const char*>(Data);
  size_t Left = Size;
  int Error = 0;
  while (Left > 0 && Error == 0) {
    ssize_t N = write(Fd, P, Left);
    if (N < 0) {
      if (errno != EINTR) Error = errno;
      continue;
    }
    P += N;
    Left -= static_cast<size_t>(N);
  }
  if (Error == 0 && fsync(Fd) != 0) Error = errno;
  if (close(Fd) != 0 && Error == 0) Error = errno;
  if (Error != 0) {
    unlink(Temp.c_str());
    throw EWriteError(u"Stream write error. " + SystemMessage(Error));
  }
  if (rename(Temp.c_str(), Target.c_str()) != 0) {
    Error = errno;
    unlink(Temp.c_str());
    throw EFCreateError(u"Cannot create file \"" + FileName + u"\". " + SystemMessage(Error));
  }
}

}  // namespace KelXml
