// Enumeration through an attribute mask, shared by every platform: the
// platforms only deliver raw entries, the accept rule lives here once.
#include "fs/fs.h"

namespace dirtree {

int CountCharacters(const Text& text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    i += CharacterLength(text, i);
  }
  return count;
}

bool AcceptsEntry(std::uint32_t mask, std::uint32_t attributes) {
  const std::uint32_t m = mask & 0x37u;
  return m == 0 ? attributes == 0 : (attributes & m) != 0;
}

Text FindNextEntry(FindHandle& handle) {
  if (!handle.IsOpen()) return Text();
  RawEntry entry;
  while (handle.enumeration->Next(entry)) {
    if (AcceptsEntry(handle.mask, entry.attributes)) return std::move(entry.name);
  }
  handle.enumeration.reset();
  return Text();
}

Text FindEntries(FileSystem& fs, const Text& pattern, std::uint32_t mask, FindHandle& handle) {
  CloseFind(handle);
  handle.enumeration = fs.OpenEnumeration(pattern);
  handle.mask = mask;
  return FindNextEntry(handle);
}

void CloseFind(FindHandle& handle) { handle.enumeration.reset(); }

}  // namespace dirtree
