#pragma once
// frmEvalFX, "Evaluate f(x)": every formula line evaluated at one typed x, each value in its
// line's colour, with one formula typeset at the top.

#include "workspace/dialogs/dialog_parts.h"
#include "workspace/platform/platform.h"

#include <QDialog>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace linoveta {

struct EvalFxContext {
    int LastFunction = 0;
    std::function<QString(int line)> displayText;          // char2str_disp
    std::function<RgbValue(int line)> lineColor;
    FormulaTypesetter typeset;
    std::function<void()> preCalc;                           // PreCalcFX
    // CalculateYEval: the value's text, "NA" on failure, "" for a line without an expression.
    std::function<QString(double x, int line)> evaluate;
    platform::MessageService *messages = nullptr;
};

class frmEvalFX : public QDialog
{
    Q_OBJECT
public:
    explicit frmEvalFX(EvalFxContext context, QWidget *parent = nullptr);

    static inline const QString kNotANumber = QStringLiteral("x must be a number.");

    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;   // Calculate
    QSlider *Slider1 = nullptr;
    FormulaPicture *Picture1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QLabel *, 5> Label2{};
    std::array<QLabel *, 5> Label3{};
    QPushButton *Command2 = nullptr;   // Close

public slots:
    void Command1_Click();
    void Slider1_Change();
    void Command2_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void Form_Load();
    void drawFormula(int line);

    EvalFxContext m_ctx;
    bool m_loaded = false;
    bool m_centred = false;
};

} // namespace linoveta
