// Whether a file is a whole shared object, before the loader is let at it. The loader maps the
// parts of the file its program headers name and reads them: a part beyond the end of a file cut
// short (a broken copy, a full disk) stops the program with SIGBUS instead of failing the load.
#include "app/shared_object.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace pawnfall {
namespace {

bool read_at(int fd, void* into, std::size_t size, std::uint64_t offset) {
  return ::pread(fd, into, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

// Whether [offset, offset + size) lies within a file of `file_size` bytes.
bool inside(std::uint64_t offset, std::uint64_t size, std::uint64_t file_size) {
  return offset <= file_size && size <= file_size - offset;
}

}  // namespace

bool whole_shared_object(const std::string& path) {
  // Not blocking: a pipe at the name is refused below, not waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const auto file_size = static_cast<std::uint64_t>(info.st_size);

  ElfW(Ehdr) header{};
  if (!read_at(fd, &header, sizeof header, 0)) return false;
  constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kClass ||
      header.e_type != ET_DYN || header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0)
    return false;
  const std::uint64_t table = std::uint64_t{header.e_phnum} * sizeof(ElfW(Phdr));
  if (!inside(header.e_phoff, table, file_size)) return false;
  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  if (!read_at(fd, segments.data(), table, header.e_phoff)) return false;
  for (const auto& segment : segments)
    if (!inside(segment.p_offset, segment.p_filesz, file_size)) return false;
  return true;
}

}  // namespace pawnfall
