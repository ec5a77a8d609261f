#include "workspace/graph_document.h"

#include "engine/number_text.h"
#include "workspace/platform/platform.h"
#include "workspace/point_series.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace linoveta {

namespace {

constexpr std::string_view kSeparator = "BB";
static_assert(kMaxDocumentPoints == std::size_t(PointList::kCapacity));

// The fields of the text split at every "BB", left to right; the piece after the last
// separator is the line end.
std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(kSeparator, start);
        if (at == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, at - start));
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
    const std::vector<std::string_view> fields = SplitFields(text);
    // Five lines, the option word, the order and the line end at the least.
    if (fields.size() < 8)
        return result;
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

bool WriteFileAtomically(const QString &path, const std::string &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<std::string> ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
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

platform::FileRequest RequestFrom(const CommonDialogSettings &dialog)
{
    platform::FileRequest request;
    request.title = dialog.title;
    request.directory = dialog.initDir;
    request.fileName = dialog.fileName;
    request.filter = dialog.filter;
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
    const std::optional<QString> chosen = files.saveFile(parent, RequestFrom(dialog));
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

std::string LoadGraphData(CommonDialogSettings &dialog, platform::FileDialogs &files,
                          QWidget *parent, const QString &folder, QString &fileName)
{
    Prepare(dialog, QStringLiteral("Load Graph Data"), kDocumentFilter, QStringLiteral("wqz"),
            folder, fileName);
    const std::optional<QString> chosen = files.openFile(parent, RequestFrom(dialog));
    if (!chosen || chosen->isEmpty())
        return {};
    dialog.fileName = *chosen;
    fileName = *chosen;
    return ReadWholeFile(*chosen).value_or(std::string());
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
    QSaveFile file(*path);
    if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "BMP")) {
        file.cancelWriting();
        return SaveOutcome::Failed;
    }
    return file.commit() ? SaveOutcome::Saved : SaveOutcome::Failed;
}

} // namespace linoveta
