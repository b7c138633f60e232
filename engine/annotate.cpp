// Entry annotations: the size or a time stamp written after an entry's name.
#include "engine/convert.h"
#include "engine/tree_writer.h"

namespace dirtree {

Text DirectoryTreeWriter::AnnotateEntry(const Text&) { return Text(); }

}  // namespace dirtree
