#pragma once
// The print-out: one landscape page of 800 x 600 units with two heading lines, the typeset
// formulas in their curve colours (or the regression equation in black) and the plot picture
// below them; and the printer the program prints on.

#include "typeset/formula_typesetter.h"
#include "typeset/surface.h"

#include <QImage>
#include <QString>

#include <array>
#include <memory>

class QPrinter;
class QWidget;

namespace linoveta {

// What the page shows, taken from the window at the moment OK is pressed.
struct PrintPage {
    QString heading1;
    QString heading2;
    bool pointSeriesMode = false;
    std::array<QString, 5> displayTexts;  // the display text of each formula line
    std::array<RgbValue, 5> colours{};    // the curve colour of each line
    QString regressionEquation;           // display mark-up, used in point-series mode
    QImage plot;                          // the persistent picture of the plot surface
    QString documentName;                 // the document loaded or saved last; empty if none
};

// The print job's name, which print queues show and PDF queues name their files after: the
// program's name, and the document's where there is one.
QString PrintJobName(const QString &documentName);

// Draws the page on `printer` and ends the document, which sends exactly this one page. The
// plot picture is shown whole with its labels: at its own size where the room below the text
// allows, scaled down in proportion where at least half of it fits, and otherwise at its own
// size on the next page. A formula that cannot be typeset is reported to `messages`.
void PrintTheGraph(Surface &printer, const PrintPage &page, const FormulaMessageSink &messages);

// The printer of the run: its settings (from the set-up dialog) last for the whole run.
class PrinterService {
public:
    virtual ~PrinterService() = default;
    // The device name; empty when there is no printer to name.
    virtual QString deviceName() const = 0;
    // A surface on a new document named `jobName`, or nothing when no printer is available or
    // its queue refuses jobs.
    virtual std::unique_ptr<Surface> beginDocument(const QString &jobName) = 0;
    // Whether the document just ended reached the printer (its print system took the job).
    virtual bool lastDocumentOk() const = 0;
    // The platform's printer set-up; a cancel changes nothing.
    virtual void setup(QWidget *parent) = 0;
};

// Real printers through Qt; with `pdfPath` set, every document goes to that PDF file instead.
class QtPrinterService : public PrinterService {
public:
    explicit QtPrinterService(const QString &pdfPath = QString());
    ~QtPrinterService() override;

    QString deviceName() const override;
    std::unique_ptr<Surface> beginDocument(const QString &jobName) override;
    bool lastDocumentOk() const override;
    void setup(QWidget *parent) override;

    QPrinter &printer() { return *m_printer; }

private:
    std::unique_ptr<QPrinter> m_printer;
    bool m_pdf = false;
};

// Prints one page of `page` on the service's printer: begins a document, draws the page,
// ends it. False when there is no printer, the print system refused the job or the printer
// reported an error.
bool PrintGraphPage(PrinterService &printer, const PrintPage &page,
                    const FormulaMessageSink &messages);

// The device name as Print Options shows it: "Unknown" when it cannot be read.
QString PrinterNameForDisplay(const PrinterService &printer);

} // namespace linoveta
