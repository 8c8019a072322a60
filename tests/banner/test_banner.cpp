#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "banner/Dll_Display.h"
#include "banner/Lbf_CtrlDisplay.h"
#include "tests/support/Aplicacion.h"

using platform::Variant;
using Line = std::optional<Variant>;

namespace {

void ensureApplication() {
    testApp();
}

// Records what happens to banner windows: the caption set while loading proves a window was
// created, a show event that it reached the screen.
class BannerWatcher : public QObject {
  public:
    BannerWatcher() { qApp->installEventFilter(this); }
    ~BannerWatcher() override { qApp->removeEventFilter(this); }
    int loaded = 0;
    int shown = 0;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (qobject_cast<Lbf_CtrlDisplay*>(o)) {
            if (e->type() == QEvent::WindowTitleChange) ++loaded;
            if (e->type() == QEvent::Show) ++shown;
        }
        return false;
    }
};

class Banner : public testing::Test {
  protected:
    void SetUp() override { ensureApplication(); }
    void TearDown() override { cartel.CartelCerrar(); }

    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < 3; ++i) out << cartel.window()->LblCtrol(i)->text();
        return out;
    }
    qint16 mostrar(const Line& a = std::nullopt, const Line& b = std::nullopt,
                   const Line& c = std::nullopt) {
        qint16 cancelado = 99;
        cartel.CartelMostrar(cancelado, a, b, c);
        return cancelado;
    }

    Dll_Display cartel;
};

TEST_F(Banner, OpensCentredWithItsCaptionAndFirstFrame) {
    cartel.CartelInicio(QStringLiteral("Generando Cronograma"), -1);
    Lbf_CtrlDisplay* w = cartel.window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Generando Cronograma"));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("titulo"))->text(),
              QStringLiteral("Generando Cronograma"))
        << "a frameless window shows its caption itself";
    EXPECT_TRUE(w->CmdDisplayCancelar()->isVisible());
    EXPECT_EQ(w->CmdDisplayCancelar()->text(), QStringLiteral("&Cancelar"));
    EXPECT_EQ(lines(), QStringList({"", "", ""}));
    EXPECT_EQ(w->frameShown(), 1);
    const QRect screen = w->screen()->geometry();
    EXPECT_LE(std::abs(w->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(w->frameGeometry().center().y() - screen.center().y()), 1);
}

TEST_F(Banner, EachGivenLineIsReplacedAndOmittedOnesKeepTheirText) {
    cartel.CartelInicio(QStringLiteral("Procesando"), 0);
    EXPECT_TRUE(cartel.window()->CmdDisplayCancelar()->isHidden()) << "no cancel allowed";
    const struct Step {
        Line a, b, c;
        QStringList expected;
    } steps[] = {
        {Variant("Orden 12"), Variant("Periodo 1"), Variant("x"), {"Orden 12", "Periodo 1", "x"}},
        {Variant("Orden 13"), {}, {}, {"Orden 13", "Periodo 1", "x"}},
        {{}, Variant::null(), {}, {"Orden 13", "", "x"}},
        {{}, {}, Variant(42), {"Orden 13", "", "42"}},
        {Variant(true), Variant(), {}, {"Verdadero", "", "42"}},
        {{}, {}, {}, {"Verdadero", "", "42"}},
    };
    int n = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(mostrar(s.a, s.b, s.c), 0) << "without the button the answer stays false";
        EXPECT_EQ(lines(), s.expected) << "step " << n;
        ++n;
    }
}

TEST_F(Banner, CancelHoldsUntilCloseAndANewBannerStartsAfresh) {
    cartel.CartelInicio(QStringLiteral("Procesando"), 1);
    Lbf_CtrlDisplay* first = cartel.window();
    EXPECT_EQ(mostrar(Variant("a")), 0);
    for (int i = 0; i < 5; ++i) first->Timer1_Timer();
    ASSERT_NE(first->frameShown(), 1);

    // A click waiting in the queue is handled by the yield, after the state was read.
    QMetaObject::invokeMethod(first->CmdDisplayCancelar(), "click", Qt::QueuedConnection);
    EXPECT_EQ(mostrar(Variant("b")), 0);
    EXPECT_EQ(first->CmdDisplayCancelar()->text(), QStringLiteral("Abortado"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(mostrar(Variant("c")), -1) << i;
    cartel.CartelInicio(QStringLiteral("Otra vez"), 1);
    EXPECT_EQ(mostrar(), -1) << "only closing clears the cancel";

    cartel.CartelCerrar();
    EXPECT_EQ(cartel.window(), nullptr);
    cartel.CartelInicio(QStringLiteral("Procesando"), 1);
    Lbf_CtrlDisplay* second = cartel.window();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->CmdDisplayCancelar()->text(), QStringLiteral("&Cancelar"));
    EXPECT_EQ(second->frameShown(), 1);
    EXPECT_EQ(lines(), QStringList({"", "", ""}));
    EXPECT_EQ(mostrar(), 0);
}

TEST_F(Banner, OperationsOutOfOrderCreateTheWindowWithoutShowingIt) {
    BannerWatcher watch;
    cartel.CartelCerrar();
    EXPECT_EQ(watch.loaded, 1);
    EXPECT_EQ(watch.shown, 0);
    EXPECT_EQ(cartel.window(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<Lbf_CtrlDisplay*>(w), nullptr) << "the window is released";

    EXPECT_EQ(mostrar(Variant("sin inicio")), 0);
    ASSERT_NE(cartel.window(), nullptr);
    EXPECT_FALSE(cartel.window()->isVisible());
    EXPECT_EQ(cartel.window()->windowTitle(), QStringLiteral("Procesando Datos"));
    EXPECT_EQ(lines(), QStringList({"sin inicio", "", ""}));
    EXPECT_EQ(watch.shown, 0);
}

TEST_F(Banner, TheAnimationCyclesThroughTwelveDistinctFrames) {
    cartel.CartelInicio(QStringLiteral("Procesando"), 0);
    Lbf_CtrlDisplay* w = cartel.window();
    for (int i = 1; i <= Lbf_CtrlDisplay::kFrames; ++i) {
        EXPECT_EQ(w->frame(i).size(), QSize(32, 32));
        for (int j = 1; j < i; ++j)
            EXPECT_NE(w->frame(i).toImage(), w->frame(j).toImage()) << i << " " << j;
    }
    std::vector<int> seen;
    for (int i = 0; i < 26; ++i) {
        w->Timer1_Timer();
        seen.push_back(w->frameShown());
    }
    std::vector<int> expected;
    for (int i = 0; i < 26; ++i) expected.push_back(i % 12 + 1);
    EXPECT_EQ(seen, expected);
    const auto* image1 = w->findChild<QLabel*>(QStringLiteral("Image1"));
    EXPECT_EQ(image1->pixmap().toImage(), w->frame(2).toImage());
}

TEST_F(Banner, TheTimerAnimatesWheneverTheCallerYields) {
    cartel.CartelInicio(QStringLiteral("Procesando"), 0);
    const QDeadlineTimer deadline(5000);
    while (cartel.window()->frameShown() < 3 && !deadline.hasExpired()) {
        qint16 cancelado = 0;
        cartel.CartelMostrar(cancelado);
    }
    EXPECT_GE(cartel.window()->frameShown(), 3);
}

}  // namespace
