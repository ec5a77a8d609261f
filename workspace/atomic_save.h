#pragma once
// Saving a file in one step: the new content is written beside the file it replaces and takes
// its place only when all of it has reached the disk.

#include <QString>

#include <string_view>

class QIODevice;

namespace linoveta {

// Where the bytes of a save go before they take the old file's place.
class ReplacementFile {
public:
    virtual ~ReplacementFile() = default;
    virtual QIODevice &device() = 0;
    // Everything written has reached the disk; false when it has not (a full disk shows here
    // as often as in the writes).
    virtual bool flush() = 0;
    // Puts the written file in place of the old one in one step.
    virtual bool replaceTarget() = 0;
    // Throws the written file away; the old file stays as it was.
    virtual void discard() = 0;
};

// Writes all the bytes, flushes them, and replaces the target only when every step worked;
// otherwise the written file is discarded and the old file stays byte for byte.
bool WriteReplacement(ReplacementFile &file, std::string_view bytes);

// The bytes in place of the file at `path`, through a new file in the same folder: either the
// whole new content is in place or the old file is untouched.
// - Links are followed as the system follows them, to the file they finally name (created
//   when it does not exist yet); a path whose links never end is refused.
// - Only a regular file that the user may write is replaced, and the new file keeps its owner,
//   group and mode; where it could not keep them, the save is refused.
// - The new file can be read by no one else until it has the old file's mode, and what a
//   killed save left beside the same target is removed by the next save.
bool WriteFileAtomically(const QString &path, std::string_view bytes);

} // namespace linoveta
