#pragma once
// The graph document (.wqz): one line of fields, each followed by "BB", ending in CR LF:
// the typed symbols of the five formula lines, x and y of every entered point, the word of
// the trend choice ("False" means Polynomial) and the polynomial order.

#include "workspace/atomic_save.h"

#include <QDate>
#include <QImage>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace linoveta {

namespace platform {
class FileDialogs;
}

struct DocumentPoint {
    double x = 0;
    double y = 0;
    bool operator==(const DocumentPoint &) const = default;
};

// What a document holds, as plain data. The reader guarantees: the lines hold printable
// ASCII other than "B" only (no control character can reach the key handler), at most kMaxDocumentPoints
// points that pass the point-entry check, and an order of 2..10.
struct GraphDocument {
    std::array<std::string, 5> lines;
    std::vector<DocumentPoint> points;
    bool linear = true;
    int order = 2;
    bool operator==(const GraphDocument &) const = default;
};

// The highest line that holds any stored symbol (0 when none): rows 1..it are shown on load
// and its box takes the focus.
int HighestFilledLine(const GraphDocument &document);

enum class DocumentReadStatus {
    Ok,
    Empty,    // nothing to load: the command ends silently
    Invalid,  // not a document: nothing is applied
};

struct DocumentReadResult {
    DocumentReadStatus status = DocumentReadStatus::Invalid;
    GraphDocument document;
};

inline constexpr std::size_t kMaxDocumentPoints = 500;  // PointList::kCapacity
// The most characters a formula field may hold: a line keeps at most 1999 symbols.
inline constexpr std::size_t kMaxFormulaField = 1999;
// Five lines, two fields per point, the option word, the order, and the line end after them.
inline constexpr std::size_t kMaxDocumentFields = 5 + 2 * kMaxDocumentPoints + 2 + 1;
// No document is larger: five full lines, 500 points of long number texts, the last two
// fields and the separators, doubled and rounded up to a power of two. A larger file is
// refused without being read.
inline constexpr std::size_t kMaxDocumentBytes = 256 * 1024;

class GraphDocumentCodec {
public:
    // The exact bytes of the document, line end included. Numbers use "." whatever the locale.
    static std::string Write(const GraphDocument &document);
    // Parses and checks the whole text; a result with status Ok is safe to apply as a whole.
    static DocumentReadResult Read(std::string_view text);
    // A number field: blanks around it are allowed, "." is the decimal point, and "," is taken
    // as one where the field has no "." (files written under a comma locale).
    static std::optional<double> ParseNumberField(std::string_view field);
};

// The settings of the window's one common file dialog. They carry over from one use to the
// next; each routine below sets the ones it needs.
struct CommonDialogSettings {
    QString title;
    QString filter;       // in Qt's form: the caption stays visible, the pattern is in brackets
    int filterIndex = 1;
    QString defaultExt;
    QString initDir;
    QString fileName;
};

inline const QString kDocumentFilter = QStringLiteral("Linoveta files (.wqz) (*.wqz)");
inline const QString kBitmapFilter = QStringLiteral("bitmap files (.bmp) (*.bmp)");
inline const QString kCouldNotOpenMessage =
    QStringLiteral("Linoveta could not open the specified file.");
inline const QString kCouldNotSaveMessage =
    QStringLiteral("Linoveta could not save the specified file.");

QString DefaultDocumentName(const QDate &today);  // "Linoveta mm-dd-yy"
QString DefaultBitmapName(const QDate &today);    // "GraphBitmap mm-dd-yy"

enum class FileReadStatus {
    Read,
    Cancelled,   // no file was chosen
    Unreadable,  // missing, not permitted, or a read error
    Refused,     // not a regular file (a pipe, a folder, a device) or larger than any document
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Unreadable;
    std::string text;
};

// The whole file as single-byte text. Only a regular file of at most kMaxDocumentBytes is
// read, and it is never opened in a way that could wait (a pipe or a device never blocks us).
FileReadResult ReadDocumentFile(const QString &path);
// A command-line document path with every double quote removed.
QString CommandLineDocumentPath(const QString &commandFile);

enum class SaveOutcome { Saved, Cancelled, Failed };

// The three file commands of the window. `folder` is the "Saved Problems" folder; the chosen
// path is written back into `fileName`. `data` is the whole file, line end included (Write).
SaveOutcome SaveGraphData(const std::string &data, CommonDialogSettings &dialog,
                          platform::FileDialogs &files, QWidget *parent, const QString &folder,
                          QString &fileName);
// The text of the chosen file, or why there is none.
FileReadResult LoadGraphData(CommonDialogSettings &dialog, platform::FileDialogs &files,
                          QWidget *parent, const QString &folder, QString &fileName);
// Saves the picture as a Windows bitmap; a cancel or a failed write ends silently.
SaveOutcome SaveGraphBitmap(CommonDialogSettings &dialog, platform::FileDialogs &files,
                            QWidget *parent, const QString &folder, QString &fileName,
                            const QImage &picture);

} // namespace linoveta
