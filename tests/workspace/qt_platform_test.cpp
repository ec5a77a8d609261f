#include "modal_steps.h"

#include "workspace/platform/qt_platform.h"

#include <QMessageBox>
#include <QPushButton>

namespace linoveta {
namespace {

// The desktop's message boxes, looked at while they are open.
TEST(QtMessageBoxes, CarryTheApplicationsTitleNoIconAndTheirButtons)
{
    const platform::Platform desktop = platform::makeQtPlatform();
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Information;
        QMessageBox::StandardButtons buttons;
    };
    auto look = [](Seen &seen, QMessageBox::StandardButton answer) {
        whenModal<QMessageBox>([&seen, answer](QMessageBox *box) {
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->button(answer)->click();
        });
    };

    Seen message;
    look(message, QMessageBox::Ok);
    desktop.messages->message(nullptr, QStringLiteral("X and Y must be numbers."));
    EXPECT_EQ(message.title, QStringLiteral("Linoveta"));
    EXPECT_EQ(message.text, QStringLiteral("X and Y must be numbers."));
    EXPECT_EQ(message.icon, QMessageBox::NoIcon);
    EXPECT_EQ(message.buttons, QMessageBox::Ok);

    for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
        Seen question;
        look(question, answer);
        const platform::Answer got = desktop.messages->question(
            nullptr, QStringLiteral("Are you sure you would like to erase all the data?"));
        EXPECT_EQ(got, answer == QMessageBox::Yes ? platform::Answer::Yes : platform::Answer::No);
        EXPECT_EQ(question.title, QStringLiteral("Linoveta"));
        EXPECT_EQ(question.icon, QMessageBox::NoIcon);
        EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

} // namespace
} // namespace linoveta
