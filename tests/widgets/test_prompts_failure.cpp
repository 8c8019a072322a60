#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/Failure.h"
#include "platform/NonInteractivePrompter.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ScriptedPrompter.h"
#include "widgets/QtPrompter.h"

using namespace platform;

TEST(Steps, SkippingRunsEveryStepPastFailures) {
    std::vector<int> ran;
    auto steps = Steps::skipping();
    steps.then([&] { ran.push_back(1); })
        .then([&] { raise(errnum::InvalidArgument, QStringLiteral("mal")); })
        .then([&] { ran.push_back(3); });
    EXPECT_TRUE(steps.run());
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_EQ(steps.lastError().number, errnum::InvalidArgument);
}

TEST(Steps, TrappingFollowsTheReporterAnswer) {
    struct Case {
        std::vector<int> answers;  // answers given to successive reports
        bool completed;
        std::vector<int> ran;
        int attemptsOfFailingStep;
    } cases[] = {
        {{4, 4, 5}, true, {1, 3}, 3},  // retry twice, then go on with the next step
        {{5}, true, {1, 3}, 1},        // go on at once
        {{3}, false, {1}, 1},          // abort leaves
        {{2}, false, {1}, 1},          // any other answer leaves
        {{4, 0}, false, {1}, 2},
    };
    for (const auto& c : cases) {
        std::vector<int> ran;
        int attempts = 0, cleanups = 0;
        std::size_t asked = 0;
        auto steps = Steps::trapping([&](const ErrorInfo& e) {
            EXPECT_EQ(e.number, 53);
            return asked < c.answers.size() ? c.answers[asked++] : 0;
        });
        steps.then([&] { ran.push_back(1); })
            .then([&] {
                ++attempts;
                raise(53, QStringLiteral("No se encontró el archivo"));
            })
            .then([&] { ran.push_back(3); })
            .cleanup([&] { ++cleanups; });
        EXPECT_EQ(steps.run(), c.completed);
        EXPECT_EQ(ran, c.ran);
        EXPECT_EQ(attempts, c.attemptsOfFailingStep);
        EXPECT_EQ(cleanups, 1) << "the clean-up runs on every way out";
    }
}

TEST(Steps, RetryRepeatsOnlyTheFailingStepUntilItSucceeds) {
    int attempts = 0, before = 0;
    auto steps = Steps::trapping([](const ErrorInfo&) { return 4; });
    steps.then([&] { ++before; }).then([&] {
        if (++attempts < 3) raise(5, QStringLiteral("todavía no"));
    });
    EXPECT_TRUE(steps.run());
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(before, 1);
}

TEST(Steps, PassingHandsTheFailureToTheCallerAfterTheCleanup) {
    int cleanups = 0;
    auto steps = Steps::passing();
    steps.then([] { throw std::invalid_argument("negativo"); }).cleanup([&] { ++cleanups; });
    try {
        steps.run();
        FAIL();
    } catch (const std::invalid_argument&) {
    }
    EXPECT_EQ(cleanups, 1);
    EXPECT_EQ(steps.lastError().number, errnum::InvalidArgument);
}

TEST(Steps, LeaveEndsTheRoutineOnPurpose) {
    std::vector<int> ran;
    auto steps = Steps::skipping();
    steps.then([&] { ran.push_back(1); }).then([] { Steps::leave(); }).then([&] {
        ran.push_back(3);
    });
    EXPECT_FALSE(steps.run());
    EXPECT_EQ(ran, std::vector<int>{1});
}

TEST(Prompts, NonInteractiveAnswersWithTheChoiceThatLeaves) {
    NonInteractivePrompter p;
    struct Case {
        int style;
        int answer;
    } cases[] = {{mb::OkOnly | mb::Critical, mb::Ok},
                 {mb::OkCancel, mb::Cancel},
                 {mb::AbortRetryIgnore | mb::Critical, mb::Abort},
                 {mb::YesNoCancel, mb::Cancel},
                 {mb::YesNo | mb::Question, mb::No},
                 {mb::RetryCancel, mb::Cancel}};
    testing::internal::CaptureStderr();
    for (const auto& c : cases)
        EXPECT_EQ(p.messageBox(QStringLiteral("texto"), c.style, QStringLiteral("Aviso")),
                  c.answer);
    EXPECT_FALSE(
        p.inputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"), {})
            .has_value());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Aviso: texto"), std::string::npos);
    EXPECT_NE(err.find("Password Access: ingrese el password:"), std::string::npos);
}

TEST(Prompts, ScriptedPrompterAnswersAndRecords) {
    auto scripted = std::make_shared<ScriptedPrompter>();
    auto previous = setPrompter(scripted);
    scripted->answer(mb::Retry);
    scripted->type(QStringLiteral("secreto"));
    EXPECT_EQ(msgBox(QStringLiteral("Ha ocurrido"), mb::AbortRetryIgnore | mb::Critical,
                     QStringLiteral("T")),
              mb::Retry);
    EXPECT_EQ(inputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access")),
              QStringLiteral("secreto"));
    EXPECT_EQ(msgBox(QStringLiteral("sin guion"), mb::YesNo), mb::Yes)
        << "unscripted: the first button";
    ASSERT_EQ(scripted->shown().size(), 3u);
    EXPECT_EQ(scripted->shown()[0].title, QStringLiteral("T"));
    EXPECT_EQ(scripted->shown()[0].style, 18);
    EXPECT_EQ(scripted->shown()[1].kind, ScriptedPrompter::Shown::Kind::Input);
    EXPECT_EQ(scripted->unexpected(), 1);
    setPrompter(previous);
}

TEST(Prompts, QtBoxesCarryTheSuiteCaptionsAndAnswers) {
    testApp();
    struct Case {
        int style;
        QStringList captions;
        std::vector<int> answers;
        QMessageBox::Icon icon;
    } cases[] = {
        {mb::AbortRetryIgnore | mb::Critical,
         {"Anular", "Reintentar", "Omitir"},
         {3, 4, 5},
         QMessageBox::Critical},
        {mb::YesNo | mb::Question, {"Sí", "No"}, {6, 7}, QMessageBox::Question},
        {mb::OkCancel | mb::Exclamation, {"Aceptar", "Cancelar"}, {1, 2}, QMessageBox::Warning},
        {mb::OkOnly | mb::Information, {"Aceptar"}, {1}, QMessageBox::Information},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QMessageBox> box(
            QtPrompter::build(QStringLiteral("a\r\nb"), c.style, QStringLiteral("Aviso")));
        EXPECT_EQ(box->text(), QStringLiteral("a\nb"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Aviso"));
        EXPECT_EQ(box->icon(), c.icon);
        QStringList captions;
        std::vector<int> answers;
        for (auto* b : box->buttons()) {
            captions << b->text();
            answers.push_back(b->property("answer").toInt());
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(answers, c.answers);
    }
}

TEST(Prompts, EscAnswersTheButtonThatLeaves) {
    testApp();
    const struct {
        int style;
        int answer;
    } cases[] = {{mb::YesNo, mb::No},
                 {mb::YesNoCancel, mb::Cancel},
                 {mb::OkCancel, mb::Cancel},
                 {mb::RetryCancel, mb::Cancel},
                 {mb::OkOnly, mb::Ok}};
    for (const auto& c : cases) {
        bool closedByEsc = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &esc);
            closedByEsc = !box->isVisible();
            // A box that ignores Esc is closed by its last button, so that the test goes on.
            if (!closedByEsc) box->buttons().last()->click();
        });
        QtPrompter prompter;
        const int answer = prompter.messageBox(QStringLiteral("¿Seguir?"), c.style, QString());
        EXPECT_TRUE(closedByEsc) << "style " << c.style;
        if (closedByEsc) {
            EXPECT_EQ(answer, c.answer) << "style " << c.style;
        }
    }
}
