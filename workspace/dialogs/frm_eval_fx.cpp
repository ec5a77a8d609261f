#include "workspace/dialogs/frm_eval_fx.h"

#include "workspace/dialogs/push_button.h"
#include "workspace/fixed_layout_look.h"
#include "workspace/locale_numbers.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

namespace linoveta {

namespace {
constexpr auto px = twips;
constexpr std::array<int, 5> kRowTops{240, 600, 960, 1320, 1680};
const QString kPlainLabel = QStringLiteral("f(x) =");
} // namespace

frmEvalFX::frmEvalFX(EvalFxContext context, QWidget *parent)
    : QDialog(parent), m_ctx(std::move(context))
{
    setWindowTitle(QStringLiteral("Evaluate f(x)"));
    setModal(true);
    buildLayout();
    Form_Load();
}

void frmEvalFX::buildLayout()
{
    setFixedSize(px(4695), px(4515));
    UseLayoutFont(*this);
    auto button = [this](const QString &caption, int l, int t, int w, int h) {
        auto *b = new PushButton(caption, this);
        b->setGeometry(px(l), px(t), px(w), px(h));
        return b;
    };
    Label1 = new QLabel(QStringLiteral("x ="), this);
    Label1->setGeometry(px(240), px(390), px(375), px(255));
    Text1 = new QLineEdit(this);
    Text1->setGeometry(px(720), px(360), px(1815), px(345));
    Text1->setValidator(new TypingLimit(8, Text1));
    Text1->installEventFilter(this);
    Command1 = button(QStringLiteral("Calculate"), 2760, 360, 1695, 375);

    Slider1 = new QSlider(Qt::Vertical, this);
    Slider1->setRange(1, 5);
    Slider1->setInvertedAppearance(true);
    Slider1->setInvertedControls(true);    // so Down and the wheel move towards line 5 too
    Slider1->setTickPosition(QSlider::TicksRight);
    Slider1->setPageStep(1);
    Slider1->setToolTip(QStringLiteral("Slide to select function."));
    Slider1->setGeometry(px(240), px(960), px(375), px(615));
    Picture1 = new FormulaPicture(this);
    Picture1->setGeometry(px(720), px(960), px(3735), px(615));

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(px(240), px(1680), px(4215), px(2055));
    // The values are in their lines' colours: white behind them, as behind the formula above.
    FixPanelColours(*Frame1, 0xFFFFFF, 0);
    for (std::size_t i = 0; i < 5; ++i) {
        Label2[i] = new QLabel(kPlainLabel, Frame1);
        Label2[i]->move(px(105), px(kRowTops[i]));
        Label2[i]->adjustSize();
        Label3[i] = new QLabel(Frame1);
        Label3[i]->setGeometry(px(600), px(kRowTops[i]), px(3255), px(375));
        Label3[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Label3[i]->hide();
    }
    Command2 = button(QStringLiteral("Close"), 2760, 3960, 1695, 375);

    connect(Command1, &QPushButton::clicked, this, &frmEvalFX::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmEvalFX::Command2_Click);
    connect(Slider1, &QSlider::valueChanged, this, &frmEvalFX::Slider1_Change);
}

void frmEvalFX::Form_Load()
{
    for (int i = 0; i < 5; ++i) {
        QPalette palette = Label3[static_cast<std::size_t>(i)]->palette();
        palette.setColor(QPalette::WindowText,
                         colourFromRgbValue(m_ctx.lineColor ? m_ctx.lineColor(i) : 0));
        Label3[static_cast<std::size_t>(i)]->setPalette(palette);
    }
    Slider1->setValue(Slider1->minimum());
    drawFormula(Slider1->value() - 1);
    if (m_ctx.LastFunction == 0) {
        Slider1->hide();
        Picture1->setGeometry(px(240), px(960), px(4215), px(615));
    } else {
        Slider1->setMaximum(m_ctx.LastFunction + 1);
    }
    m_loaded = true;
}

void frmEvalFX::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        if (QScreen *screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QDialog::showEvent(event);
}

void frmEvalFX::drawFormula(int line)
{
    const QString text = m_ctx.displayText ? m_ctx.displayText(line) : QString();
    Picture1->showFormula(text, m_ctx.lineColor ? m_ctx.lineColor(line) : 0, m_ctx.typeset);
}

void frmEvalFX::Command1_Click()
{
    // The value is read by the same locale rule that accepted it as a number.
    const auto x = ParseLocaleNumber(Text1->text());
    if (!x) {
        if (m_ctx.messages)
            m_ctx.messages->message(this, kNotANumber);
        return;
    }
    if (m_ctx.preCalc)
        m_ctx.preCalc();
    for (std::size_t i = 0; i < 5; ++i) {
        // The evaluator writes "." numbers; the user reads them in the locale's form.
        const QString value = m_ctx.evaluate
                                  ? LocaleForm(m_ctx.evaluate(*x, static_cast<int>(i)).toStdString())
                                  : QString();
        Label3[i]->setText(value);
        if (value.isEmpty())
            continue;
        Label3[i]->show();
        Label2[i]->setText(QStringLiteral("f(") + Text1->text() + QStringLiteral(") ="));
        Label2[i]->adjustSize();
        Label3[i]->move(Label2[i]->x() + Label2[i]->width() + px(25), Label3[i]->y());
    }
}

void frmEvalFX::Slider1_Change()
{
    if (!m_loaded)
        return;
    const int line = Slider1->value() - 1;
    if (m_ctx.displayText && !m_ctx.displayText(line).isEmpty())
        drawFormula(line);
}

void frmEvalFX::Command2_Click() { reject(); }

bool frmEvalFX::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command1_Click();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace linoveta
