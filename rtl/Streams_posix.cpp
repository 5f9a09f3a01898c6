// File handles off Windows: POSIX descriptors, names in UTF-8. Share modes
// are accepted and not enforced.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "rtl/Streams.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace rtl_streams_detail {

namespace {

THandle Fail(String& ErrorText) {
  ErrorText = SysErrorMessage(errno);
  return INVALID_FILE_HANDLE;
}

// A descriptor of a directory is refused, as CreateFileW refuses one.
THandle Checked(int Fd, String& ErrorText) {
  if (Fd < 0) return Fail(ErrorText);
  struct stat St {};
  if (fstat(Fd, &St) == 0 && S_ISDIR(St.st_mode)) {
    close(Fd);
    errno = EISDIR;
    return Fail(ErrorText);
  }
  return static_cast<THandle>(Fd);
}

}  // namespace

THandle FileCreate(const String& FileName, Word /*Mode*/, Cardinal Rights, String& ErrorText) {
  mode_t Perm = Rights != 0 ? static_cast<mode_t>(Rights) : 0666;
  std::string Name = UTF16ToUTF8(FileName);
  return Checked(open(Name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, Perm), ErrorText);
}

THandle FileOpen(const String& FileName, Word Mode, String& ErrorText) {
  int Flags;
  switch (Mode & 3) {
    case fmOpenWrite:
      Flags = O_WRONLY;
      break;
    case fmOpenReadWrite:
      Flags = O_RDWR;
      break;
    case fmOpenRead:
      Flags = O_RDONLY;
      break;
    default:
      errno = EINVAL;
      return Fail(ErrorText);
  }
  std::string Name = UTF16ToUTF8(FileName);
  return Checked(open(Name.c_str(), Flags | O_CLOEXEC), ErrorText);
}

Integer FileRead(THandle Handle, void* Buffer, Integer Count) {
  ssize_t N;
  do {
    N = read(static_cast<int>(Handle), Buffer, static_cast<size_t>(Count));
  } while (N < 0 && errno == EINTR);
  return static_cast<Integer>(N);
}

Integer FileWrite(THandle Handle, const void* Buffer, Integer Count) {
  ssize_t N;
  do {
    N = write(static_cast<int>(Handle), Buffer, static_cast<size_t>(Count));
  } while (N < 0 && errno == EINTR);
  return static_cast<Integer>(N);
}

Int64 FileSeek(THandle Handle, Int64 Offset, TSeekOrigin Origin) {
  int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  return static_cast<Int64>(lseek(static_cast<int>(Handle), static_cast<off_t>(Offset), Whence));
}

bool FileTruncateHere(THandle Handle, String& ErrorText) {
  off_t Here = lseek(static_cast<int>(Handle), 0, SEEK_CUR);
  if (Here < 0 || ftruncate(static_cast<int>(Handle), Here) != 0) {
    ErrorText = SysErrorMessage(errno);
    return false;
  }
  return true;
}

void FileClose(THandle Handle) { close(static_cast<int>(Handle)); }

String ExpandFileName(const String& FileName) {
  std::error_code Ec;
  std::filesystem::path P = std::filesystem::absolute(std::filesystem::path(UTF16ToUTF8(FileName)), Ec);
  if (Ec) return FileName;
  return UTF8ToUTF16(P.lexically_normal().string());
}

}  // namespace rtl_streams_detail
