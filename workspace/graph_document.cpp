#include "workspace/graph_document.h"

#include "engine/formula_tables.h"
#include "engine/number_text.h"
#include "workspace/platform/platform.h"
#include "workspace/point_series.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QBuffer>

#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linoveta {

namespace {

constexpr std::string_view kSeparator = "BB";
static_assert(kMaxDocumentPoints == std::size_t(PointList::kCapacity));
static_assert(kMaxFormulaField == std::size_t(kMaxSymbols));

// The largest document, allowing 64 characters for each number text (the longest we write has
// 22) and the option word "False".
constexpr std::size_t kLargestDocument = 5 * (kMaxFormulaField + kSeparator.size()) +
                                         2 * kMaxDocumentPoints * (64 + kSeparator.size()) +
                                         (5 + kSeparator.size()) + (2 + kSeparator.size()) + 2;
static_assert(kMaxDocumentBytes >= 2 * kLargestDocument);

// The fields of the text split at every "BB", left to right; the piece after the last
// separator is the line end. Counts while splitting: nothing when the text has more fields
// than a document can hold or a formula field longer than a line, so a huge file costs no
// more than one pass over it.
std::optional<std::vector<std::string_view>> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        if (fields.size() == kMaxDocumentFields)
            return std::nullopt;
        const std::size_t at = text.find(kSeparator, start);
        const std::string_view field =
            text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
        if (fields.size() < 5 && field.size() > kMaxFormulaField)
            return std::nullopt;
        fields.push_back(field);
        if (at == std::string_view::npos)
            return fields;
        start = at + kSeparator.size();
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [+-] digits [. digits] [E [+-] digits], at least one digit in the mantissa.
bool IsDecimalNumber(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

bool IsLineEnd(std::string_view tail)
{
    for (char c : tail)
        if (c != '\r' && c != '\n' && !IsBlank(c))
            return false;
    return true;
}

} // namespace

std::optional<double> GraphDocumentCodec::ParseNumberField(std::string_view field)
{
    std::string text(TrimBlanks(field));
    if (text.find('.') == std::string::npos) {
        const std::size_t comma = text.find(',');
        if (comma != std::string::npos && text.find(',', comma + 1) == std::string::npos)
            text[comma] = '.';
    }
    if (!IsDecimalNumber(text))
        return std::nullopt;
    const double value = ParseLeadingNumber(text);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string GraphDocumentCodec::Write(const GraphDocument &document)
{
    std::string text;
    for (const std::string &line : document.lines) {
        text += line;
        text += kSeparator;
    }
    for (const DocumentPoint &p : document.points) {
        text += NumberText(p.x);
        text += kSeparator;
        text += NumberText(p.y);
        text += kSeparator;
    }
    text += document.linear ? "True" : "False";
    text += kSeparator;
    text += WholeNumberText(document.order);
    text += kSeparator;
    text += "\r\n";
    return text;
}

DocumentReadResult GraphDocumentCodec::Read(std::string_view text)
{
    DocumentReadResult result;
    if (text.empty()) {
        result.status = DocumentReadStatus::Empty;
        return result;
    }
    const std::optional<std::vector<std::string_view>> split = SplitFields(text);
    // Five lines, the option word, the order and the line end at the least.
    if (!split || split->size() < 8)
        return result;
    const std::vector<std::string_view> &fields = *split;
    const std::size_t u = fields.size() - 1;
    const std::size_t pointFields = u - 7;
    if (pointFields % 2 != 0 || pointFields / 2 > kMaxDocumentPoints)
        return result;
    if (!IsLineEnd(fields[u]))
        return result;

    GraphDocument &doc = result.document;
    for (std::size_t i = 0; i < 5; ++i) {
        // Control characters (Backspace, Enter) and bytes outside ASCII are never keys; "B" is
        // no typed symbol, and kept it would run into the separator when saved again.
        for (char c : fields[i])
            if (c >= 0x20 && c < 0x7F && c != 'B')
                doc.lines[i] += c;
    }
    doc.points.reserve(pointFields / 2);
    for (std::size_t k = 5; k + 1 < u - 2; k += 2) {
        const std::optional<double> x = ParseNumberField(fields[k]);
        const std::optional<double> y = ParseNumberField(fields[k + 1]);
        // The values as they will be written must pass too, so a saved copy loads again.
        if (!x || !y || !PointFitsEveryOrder(*x, *y) ||
            !PointFitsEveryOrder(NumberTextValue(*x), NumberTextValue(*y)))
            return result;
        doc.points.push_back({*x, *y});
    }
    doc.linear = fields[u - 2] != "False";
    const std::optional<double> order = ParseNumberField(fields[u - 1]);
    if (!order || *order < 2 || *order > 10 || *order != std::floor(*order))
        return result;
    doc.order = int(*order);
    result.status = DocumentReadStatus::Ok;
    return result;
}

int HighestFilledLine(const GraphDocument &document)
{
    for (int i = int(document.lines.size()) - 1; i > 0; --i)
        if (!document.lines[std::size_t(i)].empty())
            return i;
    return 0;
}

QString DefaultDocumentName(const QDate &today)
{
    return QStringLiteral("Linoveta ") + today.toString(QStringLiteral("MM-dd-yy"));
}

QString DefaultBitmapName(const QDate &today)
{
    return QStringLiteral("GraphBitmap ") + today.toString(QStringLiteral("MM-dd-yy"));
}

FileReadResult ReadDocumentFile(const QString &path)
{
    FileReadResult result;
    const QByteArray name = QFile::encodeName(path);
    // The type and size are known before anything is opened: opening a named pipe would wait
    // for a writer, and a device such as /dev/zero never ends.
    struct stat info {};
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0)
        return result;
    if (!S_ISREG(info.st_mode) || std::uint64_t(info.st_size) > kMaxDocumentBytes) {
        result.status = FileReadStatus::Refused;
        return result;
    }
    // Non-blocking and checked again: the path may have been replaced in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return result;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.status = FileReadStatus::Refused;
        return result;
    }
    // One byte past the cap tells a file that grew since from one that fits.
    std::string text(kMaxDocumentBytes + 1, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return result;
        }
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    ::close(fd);
    if (done > kMaxDocumentBytes) {
        result.status = FileReadStatus::Refused;
        return result;
    }
    text.resize(done);
    result.status = FileReadStatus::Read;
    result.text = std::move(text);
    return result;
}

QString CommandLineDocumentPath(const QString &commandFile)
{
    QString path = commandFile;
    path.remove(QLatin1Char('"'));
    return path;
}

namespace {

void Prepare(CommonDialogSettings &dialog, const QString &title, const QString &filter,
             const QString &defaultExt, const QString &folder, const QString &fileName)
{
    dialog.title = title;
    dialog.filter = filter;
    dialog.filterIndex = 1;
    dialog.defaultExt = defaultExt;
    dialog.initDir = folder;
    dialog.fileName = fileName;
}

// Saves ask before overwriting; the dialog adds the default extension before it asks, so
// "first" and "first.wqz" both ask when first.wqz exists.
platform::FileRequest RequestFrom(const CommonDialogSettings &dialog, bool save)
{
    platform::FileRequest request;
    request.title = dialog.title;
    request.directory = dialog.initDir;
    request.fileName = dialog.fileName;
    request.filter = dialog.filter;
    request.defaultSuffix = dialog.defaultExt;
    request.confirmOverwrite = save;
    return request;
}

// The dialog's default extension is added to a name that has none.
QString WithDefaultExt(const QString &path, const QString &ext)
{
    if (ext.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + ext;
}

std::optional<QString> AskForSaveName(CommonDialogSettings &dialog,
                                      platform::FileDialogs &files, QWidget *parent)
{
    const std::optional<QString> chosen = files.saveFile(parent, RequestFrom(dialog, true));
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    dialog.fileName = WithDefaultExt(*chosen, dialog.defaultExt);
    return dialog.fileName;
}

} // namespace

SaveOutcome SaveGraphData(const std::string &data, CommonDialogSettings &dialog,
                          platform::FileDialogs &files, QWidget *parent, const QString &folder,
                          QString &fileName)
{
    Prepare(dialog, QStringLiteral("Save Graph Data As"), kDocumentFilter, QStringLiteral("wqz"),
            folder, fileName);
    const std::optional<QString> path = AskForSaveName(dialog, files, parent);
    if (!path)
        return SaveOutcome::Cancelled;
    fileName = *path;
    return WriteFileAtomically(*path, data) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

FileReadResult LoadGraphData(CommonDialogSettings &dialog, platform::FileDialogs &files,
                             QWidget *parent, const QString &folder, QString &fileName)
{
    Prepare(dialog, QStringLiteral("Load Graph Data"), kDocumentFilter, QStringLiteral("wqz"),
            folder, fileName);
    const std::optional<QString> chosen = files.openFile(parent, RequestFrom(dialog, false));
    if (!chosen || chosen->isEmpty())
        return {FileReadStatus::Cancelled, {}};
    dialog.fileName = *chosen;
    fileName = *chosen;
    return ReadDocumentFile(*chosen);
}

SaveOutcome SaveGraphBitmap(CommonDialogSettings &dialog, platform::FileDialogs &files,
                            QWidget *parent, const QString &folder, QString &fileName,
                            const QImage &picture)
{
    Prepare(dialog, QStringLiteral("Save Graph Bitmap As"), kBitmapFilter, QStringLiteral("bmp"),
            folder, fileName);
    const std::optional<QString> path = AskForSaveName(dialog, files, parent);
    if (!path)
        return SaveOutcome::Cancelled;
    fileName = *path;
    // The whole bitmap is made in memory first, so it goes to the disk through the same
    // checked path as a document.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "BMP"))
        return SaveOutcome::Failed;
    return WriteFileAtomically(*path, std::string_view(bytes.constData(), std::size_t(bytes.size())))
               ? SaveOutcome::Saved
               : SaveOutcome::Failed;
}

} // namespace linoveta
