#include "workspace/printing.h"

#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "typeset/printer_surface.h"
#include "workspace/platform/platform.h"
#include "workspace/platform/print_system.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace linoveta {

namespace {

const QString kThreeBlanks = QStringLiteral("   ");

// The plot picture's own size: its logical pixels are screen pixels of 15 twips each (a
// picture kept for a dense display prints sharper at the same size).
double OwnWidth(const Surface &page, const QImage &picture)
{
    return picture.deviceIndependentSize().width() * kTwipsPerPixel * page.scaleWidth() / page.widthTwips();
}

double OwnHeight(const Surface &page, const QImage &picture)
{
    return picture.deviceIndependentSize().height() * kTwipsPerPixel * page.scaleHeight() / page.heightTwips();
}

// Where text and pictures may go on the 800 x 600 page, and where a new page starts (as the
// typesetter starts one).
constexpr double kPageRight = 800, kPageBottom = 600, kPictureLeft = 12, kNewPageTop = 24;

// The largest share of its own size (at most all of it) at which the picture fits between
// `top` and the page's bottom and right edges.
double FittingScale(double top, double width, double height)
{
    double scale = 1;
    if (height > 0)
        scale = std::min(scale, (kPageBottom - top) / height);
    if (width > 0)
        scale = std::min(scale, (kPageRight - kPictureLeft) / width);
    return scale;
}

} // namespace

QString PrintJobName(const QString &documentName)
{
    const QString &program = platform::ApplicationTitle;
    return documentName.isEmpty() ? program : program + QStringLiteral(" - ") + documentName;
}

void PrintTheGraph(Surface &printer, const PrintPage &page, const FormulaMessageSink &messages)
{
    printer.setOrientation(PageOrientation::Landscape);
    printer.setScale(0, 0, 800, 600);
    printer.setFontName(QString::fromLatin1(kSymbolFontFamily));
    printer.setFontSize(12);

    for (int i = 0; i < 3; ++i)
        printer.printLine();
    printer.printLine(page.heading1 + kThreeBlanks);
    printer.printLine(page.heading2 + kThreeBlanks);
    printer.printLine();

    if (!page.pointSeriesMode) {
        for (std::size_t i = 0; i < page.displayTexts.size(); ++i) {
            if (page.displayTexts[i].isEmpty())
                continue;
            basFPrint3::PrintFormula(QStringLiteral("f(x)=") + page.displayTexts[i], printer,
                                     messages, true, QString::number(page.colours[i]));
        }
    } else {
        basFPrint3::PrintFormula(page.regressionEquation, printer, messages, false, QString());
    }

    if (!page.plot.isNull()) {
        const double width = OwnWidth(printer, page.plot), height = OwnHeight(printer, page.plot);
        double top = printer.currentY() + 18;
        double scale = FittingScale(top, width, height);
        // Below half its size the plot's labels are no longer read: it gets a page of its own.
        if (scale < 0.5) {
            printer.newPage();
            top = kNewPageTop;
            scale = FittingScale(top, width, height);
        }
        printer.paintPicture(page.plot, kPictureLeft, top, width * scale, height * scale);
    }
    // Ends the page and the job together, so one OK sends exactly one page.
    printer.endDoc();
}

QtPrinterService::QtPrinterService(const QString &pdfPath)
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)), m_pdf(!pdfPath.isEmpty())
{
    if (m_pdf) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(pdfPath);
    }
}

QtPrinterService::~QtPrinterService() = default;

QString QtPrinterService::deviceName() const
{
    if (m_pdf)
        return QStringLiteral("PDF");
    if (QPrinterInfo::availablePrinters().isEmpty())
        return QString();
    return m_printer->printerName();
}

std::unique_ptr<Surface> QtPrinterService::beginDocument(const QString &jobName)
{
    if (deviceName().isEmpty())
        return nullptr;
    // A queue that refuses jobs would take nothing; asking first also leaves the print
    // system's last answer a known one before the job is submitted.
    if (!m_pdf && !PrintQueueAcceptsJobs(m_printer->printerName()))
        return nullptr;
    m_printer->setDocName(jobName);
    return std::make_unique<PrinterSurface>(*m_printer);
}

bool QtPrinterService::lastDocumentOk() const
{
    if (m_printer->printerState() == QPrinter::Error || m_printer->printerState() == QPrinter::Aborted)
        return false;
    // Qt submits the finished job to the print system and keeps no answer of it.
    return m_pdf || LastPrintRequestSucceeded();
}

void QtPrinterService::setup(QWidget *parent)
{
    // The choice becomes the printer's own settings; a cancel leaves them as they were.
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    // Set-up only chooses the printer; nothing is printed when it is confirmed.
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *confirm = buttons->button(QDialogButtonBox::Ok))
            confirm->setText(QStringLiteral("OK"));
    dialog.exec();
}

bool PrintGraphPage(PrinterService &printer, const PrintPage &page,
                    const FormulaMessageSink &messages)
{
    std::unique_ptr<Surface> surface = printer.beginDocument(PrintJobName(page.documentName));
    if (!surface)
        return false;
    PrintTheGraph(*surface, page, messages);
    surface.reset();
    return printer.lastDocumentOk();
}

QString PrinterNameForDisplay(const PrinterService &printer)
{
    const QString name = printer.deviceName();
    return name.isEmpty() ? QStringLiteral("Unknown") : name;
}

} // namespace linoveta
