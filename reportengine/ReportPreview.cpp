#include "reportengine/ReportPreview.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "platform/Failure.h"
#include "platform/Prompt.h"
#include "reportengine/PageView.h"
#include "reportengine/PdfExport.h"
#include "reportengine/PrintSettingStore.h"
#include "reportengine/ReportPrinter.h"
#include "reportengine/ReportSaver.h"
#include "reportengine/ToolbarIcons.h"

namespace reportengine {

namespace {

const QString kTitle = QStringLiteral("Informe");
constexpr double kZoomSteps[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0};

ReportPreview::PathChooser& pathChooser() {
    static ReportPreview::PathChooser chooser;
    return chooser;
}

}  // namespace

ReportPreview::ReportPreview(ReportDocument doc, qint32 printSetting, QWidget* parent)
    : QDialog(parent), doc_(std::move(doc)), printSetting_(printSetting) {
    setWindowTitle(doc_.title.isEmpty() ? doc_.name : doc_.title);
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    const QPageLayout page = PdfExport::pageLayout(doc_.landscape);
    report_ = std::make_unique<PagedReport>(doc_, page.paintRect(QPageLayout::Point).size());
    view_ = new PageView(*report_, page);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* printAction = bar->addAction(toolbarIcon(ToolbarIcon::Print),
                                          QStringLiteral("Imprimir"), this, &ReportPreview::print);
    printAction->setShortcut(QKeySequence::Print);
    bar->addAction(toolbarIcon(ToolbarIcon::Save), QStringLiteral("PDF"), this,
                   &ReportPreview::savePdf)
        ->setToolTip(QStringLiteral("Guardar el informe como PDF"));
    bar->addAction(toolbarIcon(ToolbarIcon::Save), QStringLiteral("Excel"), this,
                   &ReportPreview::saveXlsx)
        ->setToolTip(QStringLiteral("Guardar el informe como planilla de Excel"));
    afterSaves_ = bar->addSeparator();
    bar_ = bar;
    first_ =
        bar->addAction(toolbarIcon(ToolbarIcon::First), QString(), this, [this] { showPage(0); });
    first_->setToolTip(QStringLiteral("Primera página (Ctrl+Inicio)"));
    previous_ = bar->addAction(toolbarIcon(ToolbarIcon::Previous), QString(), this,
                               [this] { showPage(view_->currentPage() - 1); });
    previous_->setToolTip(QStringLiteral("Página anterior (RePág)"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setContentsMargins(8, 0, 8, 0);
    pageLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(pageLabel_);
    next_ = bar->addAction(toolbarIcon(ToolbarIcon::Next), QString(), this,
                           [this] { showPage(view_->currentPage() + 1); });
    next_->setToolTip(QStringLiteral("Página siguiente (AvPág)"));
    last_ = bar->addAction(toolbarIcon(ToolbarIcon::Last), QString(), this,
                           [this] { showPage(view_->pageCount() - 1); });
    last_->setToolTip(QStringLiteral("Última página (Ctrl+Fin)"));
    // The pages answer the keyboard whichever control has the focus.
    const std::pair<QAction*, QKeySequence> keys[] = {
        {first_, QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {previous_, QKeySequence(Qt::Key_PageUp)},
        {next_, QKeySequence(Qt::Key_PageDown)},
        {last_, QKeySequence(Qt::CTRL | Qt::Key_End)},
    };
    for (const auto& [action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    bar->addSeparator();

    bar->addAction(QStringLiteral("−"), this, [this] { setZoom(view_->zoom() / 1.25); })
        ->setToolTip(QStringLiteral("Alejar (Ctrl+rueda)"));
    zoomBox_ = new QComboBox(this);
    zoomBox_->addItem(QStringLiteral("Ajustar al ancho"));
    zoomBox_->addItem(QStringLiteral("Página entera"));
    for (double z : kZoomSteps)
        zoomBox_->addItem(QStringLiteral("%1 %").arg(std::lround(z * 100)), z);
    zoomBox_->setMinimumContentsLength(16);
    connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
        if (index == 0)
            setZoom(view_->zoom(), Fit::Width);
        else if (index == 1)
            setZoom(view_->zoom(), Fit::Page);
        else
            setZoom(zoomBox_->itemData(index).toDouble());
    });
    bar->addWidget(zoomBox_);
    bar->addAction(QStringLiteral("+"), this, [this] { setZoom(view_->zoom() * 1.25); })
        ->setToolTip(QStringLiteral("Acercar (Ctrl+rueda)"));
    bar->addSeparator();
    bar->addAction(toolbarIcon(ToolbarIcon::Close), QStringLiteral("Cerrar"), this,
                   &QDialog::accept);

    scroll_ = new QScrollArea(this);
    scroll_->setWidget(view_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette desk = scroll_->palette();
    desk.setColor(QPalette::Window, PageView::deskColor());
    scroll_->setPalette(desk);
    scroll_->setBackgroundRole(QPalette::Window);
    scroll_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scroll_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("estado"));
    status_->setContentsMargins(8, 3, 8, 3);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);

    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 900);
    resize(std::min(screen.width() * 9 / 10, 1400), screen.height() * 9 / 10);
    zoomBox_->setFocusPolicy(Qt::ClickFocus);
    scroll_->setFocus();
    showPage(0);
    setZoom(1, Fit::Width);
}

void ReportPreview::showPage(int index) {
    view_->setCurrentPage(index);
    const int page = view_->currentPage();
    const int count = view_->pageCount();
    pageLabel_->setText(QStringLiteral("Página %1 de %2").arg(page + 1).arg(count));
    // As wide as the widest page number from the start, so that the controls after it stay put.
    const QString widest = QStringLiteral("Página %1 de %1")
                               .arg(QString(QString::number(count).size(), QLatin1Char('8')));
    const QMargins m = pageLabel_->contentsMargins();
    pageLabel_->setMinimumWidth(pageLabel_->fontMetrics().horizontalAdvance(widest) + m.left() +
                                m.right() + 2);
    first_->setEnabled(page > 0);
    previous_->setEnabled(page > 0);
    next_->setEnabled(page + 1 < count);
    last_->setEnabled(page + 1 < count);
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreview::setZoom(double zoom, Fit fit) {
    fit_ = fit;
    const QSize area = scroll_->viewport()->size();
    if (fit == Fit::Width) {
        // Without room kept for the vertical scroll bar the fitted page would bring it in and
        // no longer fit.
        zoom = view_->zoomForWidth(area.width() - scroll_->verticalScrollBar()->sizeHint().width());
    } else if (fit == Fit::Page) {
        zoom = view_->zoomForPage(area);
    }
    view_->setZoom(zoom);
    refreshZoomBox();
}

void ReportPreview::refreshZoomBox() {
    if (fit_ == Fit::Width) {
        zoomBox_->setCurrentIndex(0);
        return;
    }
    if (fit_ == Fit::Page) {
        zoomBox_->setCurrentIndex(1);
        return;
    }
    const QString text = QStringLiteral("%1 %").arg(std::lround(view_->zoom() * 100));
    const int found = zoomBox_->findText(text);
    if (found >= 0) {
        zoomBox_->setCurrentIndex(found);
    } else {
        // A zoom between the steps shows its percentage without becoming an entry.
        zoomBox_->setPlaceholderText(text);
        zoomBox_->setCurrentIndex(-1);
    }
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
            setZoom(view_->zoom() * 1.25);
            return;
        case Qt::Key_Minus:
            setZoom(view_->zoom() / 1.25);
            return;
        default:
            break;
    }
    QDialog::keyPressEvent(event);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    // The viewport knows its final size only once the dialog is laid out on screen.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize && fit_ != Fit::None)
        setZoom(view_->zoom(), fit_);
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            setZoom(view_->zoom() * (wheel->angleDelta().y() > 0 ? 1.25 : 0.8));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReportPreview::print() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        ReportPrinter::print(doc_, printSetting_);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinter::configure(printer, doc_, PrintSettingStore::read(printSetting_));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Imprimir informe"));
    if (dialog.exec() != QDialog::Accepted) return;
    // The next printed report goes to the same printer without asking.
    if (ReportPrinter::printOn(doc_, printer) == Outcome::Written)
        PrintSettingStore::write(printSetting_, ReportPrinter::settingOf(printer));
}

void ReportPreview::setPathChooser(PathChooser chooser) {
    pathChooser() = std::move(chooser);
}

QString ReportPreview::fileNameFor(const QString& title) {
    QString name;
    for (const QChar c : title) {
        // What no file system of the suite's desktops takes in a name becomes a blank.
        const bool refused = c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c);
        name += refused ? QLatin1Char(' ') : c;
    }
    name = name.simplified();
    while (name.endsWith(QLatin1Char('.'))) name = name.chopped(1).trimmed();
    return name;
}

QString ReportPreview::statusText() const {
    return status_->text();
}

QString ReportPreview::askPath(const QString& caption, const QString& filter,
                               const QString& suffix) {
    QString folder = PrintSettingStore::saveFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
    QString name = fileNameFor(doc_.title);
    if (name.isEmpty()) name = fileNameFor(doc_.name);
    const QString proposed = QDir(folder).filePath(name + QLatin1Char('.') + suffix);
    QString path = pathChooser() ? pathChooser()(caption, proposed, filter)
                                 : QFileDialog::getSaveFileName(this, caption, proposed, filter);
    if (path.isEmpty()) return path;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + suffix;
    PrintSettingStore::setSaveFolder(QFileInfo(path).absolutePath());
    return path;
}

void ReportPreview::tellSaved(Outcome outcome, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    switch (outcome) {
        case Outcome::Written:
            status_->setText(QStringLiteral("Informe guardado en %1").arg(file));
            break;
        case Outcome::Cancelled:
            status_->setText(QStringLiteral("Guardado cancelado: %1 no se modificó").arg(file));
            break;
        case Outcome::Failed:
            status_->setText(QStringLiteral("No se pudo guardar %1").arg(file));
            break;
    }
}

void ReportPreview::savePdf() {
    const QString path = askPath(QStringLiteral("Guardar el informe como PDF"),
                                 QStringLiteral("Documentos PDF (*.pdf)"), QStringLiteral("pdf"));
    if (!path.isEmpty()) tellSaved(ReportSaver::savePdf(doc_, path), path);
}

void ReportPreview::addExtraSave(const SuiteLib::ReportOutput::ExtraSave& extra) {
    if (!extra.write || extraAction_) return;
    extra_ = extra;
    extraAction_ = new QAction(toolbarIcon(ToolbarIcon::Save), extra_.button, this);
    extraAction_->setToolTip(extra_.tooltip);
    connect(extraAction_, &QAction::triggered, this, &ReportPreview::saveExtra);
    bar_->insertAction(afterSaves_, extraAction_);
}

void ReportPreview::saveExtra() {
    const QString path = askPath(extra_.caption, extra_.filter, extra_.suffix);
    if (path.isEmpty()) return;
    // The caller's writer reads the database: nothing it raises may leave this handler.
    bool written = false;
    try {
        written = extra_.write(path);
    } catch (const std::exception&) {
        platform::msgBox(platform::errorOf(std::current_exception()).description,
                         platform::mb::Critical, QStringLiteral("Aviso al operador"));
    }
    tellSaved(written ? Outcome::Written : Outcome::Failed, path);
}

void ReportPreview::saveXlsx() {
    const QString path =
        askPath(QStringLiteral("Guardar el informe como planilla"),
                QStringLiteral("Planillas de Excel (*.xlsx)"), QStringLiteral("xlsx"));
    if (!path.isEmpty()) tellSaved(ReportSaver::saveXlsx(doc_, path), path);
}

}  // namespace reportengine
