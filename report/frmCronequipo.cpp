#include "report/frmCronequipo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QVBoxLayout>

#include "lookup/Lib_ClsCons3.h"
#include "platform/Failure.h"
#include "platform/Hoy.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "report/AvisoBanner.h"
#include "report/CalendarioCronograma.h"
#include "report/GeneradorCronograma.h"
#include "startup/Sesion.h"
#include "startup/UltimoRecurso.h"
#include "startup/Vestido.h"
#include "suitelib/SuiteLib.h"
#include "widgets/SkinControl.h"
#include "widgets/TBarRep.h"

namespace {

QString hoy() {
    return platform::Regional::current().formatDate(QDateTime(platform::hoy(), QTime(0, 0)));
}

QLineEdit* nuevoCampo(QWidget* parent, const char* dataField, const char* tag, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setProperty("dataField", QString::fromLatin1(dataField));
    e->setProperty("Tag", QString::fromLatin1(tag));
    if (maxLength > 0) e->setMaxLength(maxLength);
    // A right click is the lookup; the edit menu would be a second popup.
    e->setContextMenuPolicy(Qt::PreventContextMenu);
    e->setAutoFillBackground(true);
    return e;
}

}  // namespace

frmCronequipo::frmCronequipo(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmCronequipo"));
    setWindowTitle(QStringLiteral("Cronequipo de Equipos"));

    TBarRep1 = new TBarRep(this);
    TBarRep1->setObjectName(QStringLiteral("TBarRep1"));
    addToolBar(Qt::TopToolBarArea, TBarRep1);
    connect(TBarRep1, &TBarRep::Comando, this, [this](QString& c) { Comando(c); });

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* tipo = new QHBoxLayout;
    auto* TGrafico = new QLabel(QStringLiteral("Tipo de Reporte:"), central);
    CmbTG = new QComboBox(central);
    CmbTG->setObjectName(QStringLiteral("CmbTG"));
    CmbTG->setMinimumWidth(360);
    tipo->addWidget(TGrafico);
    tipo->addWidget(CmbTG, 1);
    layout->addLayout(tipo);

    FrmPrincipal = new QGroupBox(QStringLiteral(" Cronograma de Trabajos"), central);
    auto* grid = new QGridLayout(FrmPrincipal);
    txtfields[0] = nuevoCampo(FrmPrincipal, "FechaD", "FECHA", 10);
    txtfields[1] = nuevoCampo(FrmPrincipal, "FechaH", "FECHA", 10);
    txtfields[2] = nuevoCampo(FrmPrincipal, "TecnicoD", "V_Ta_tecnicos", 0);
    txtfields[3] = nuevoCampo(FrmPrincipal, "TecnicoH", "v_ta_tecnicos", 0);
    CmbPeriodicidad = new QComboBox(FrmPrincipal);
    CmbPeriodicidad->setObjectName(QStringLiteral("CmbPeriodicidad"));
    CmbPeriodicidad->addItem(QStringLiteral("Diario"));
    grid->addWidget(new QLabel(QStringLiteral("Fecha Desde"), FrmPrincipal), 0, 0);
    grid->addWidget(txtfields[0], 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Fecha Hasta"), FrmPrincipal), 0, 2);
    grid->addWidget(txtfields[1], 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Periodicidad"), FrmPrincipal), 0, 4);
    grid->addWidget(CmbPeriodicidad, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Técnico Desde"), FrmPrincipal), 1, 0);
    grid->addWidget(txtfields[2], 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Técnico Hasta"), FrmPrincipal), 1, 2);
    grid->addWidget(txtfields[3], 1, 3);

    frmCampos = new QGroupBox(
        QStringLiteral(" Que campos desea visualizar en la primera columna del cronograma "),
        FrmPrincipal);
    auto* checks = new QHBoxLayout(frmCampos);
    chkCodigo = new QCheckBox(QStringLiteral("Código"), frmCampos);
    chkDescripcion = new QCheckBox(QStringLiteral("Descripción"), frmCampos);
    chkCliente = new QCheckBox(QStringLiteral("Cliente"), frmCampos);
    chkUbicacion = new QCheckBox(QStringLiteral("Ubicación"), frmCampos);
    chkTecnico = new QCheckBox(QStringLiteral("Técnico"), frmCampos);
    for (QCheckBox* c : {chkCodigo, chkDescripcion, chkCliente, chkUbicacion, chkTecnico})
        checks->addWidget(c);
    grid->addWidget(frmCampos, 2, 0, 1, 6);
    layout->addWidget(FrmPrincipal);
    layout->addStretch(1);
    setCentralWidget(central);

    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(sbStatusBar);
    ArmaBarraEstado(sbStatusBar);
    auto* skin = new SkinControl(this);
    skin->setObjectName(QStringLiteral("SkinFramework1"));

    // The tab order of the window: dates, periodicity, technicians, the boxes, then the type.
    QWidget* orden[] = {txtfields[0], txtfields[1],   CmbPeriodicidad, txtfields[2], txtfields[3],
                        chkCodigo,    chkDescripcion, chkCliente,      chkUbicacion, chkTecnico,
                        CmbTG};
    for (std::size_t i = 0; i + 1 < std::size(orden); ++i) setTabOrder(orden[i], orden[i + 1]);

    // One filter over the application: the key preview of the window and the handlers of its
    // fields and lists.
    qApp->installEventFilter(this);
    connect(CmbTG, qOverload<int>(&QComboBox::activated), this, [this](int) { CmbTG_Click(); });
    resize(760, 300);
}

void frmCronequipo::Form_Load() {
    // A failing step of the load is reported and the next one runs: the window opens whatever
    // the style, the status bar or the icon make of it.
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        ReportaUltimoRecurso(e, QStringLiteral("Form_Load"));
        return platform::mb::Ignore;
    });
    bool vestida = false;
    steps
        .then([] {
            QString cadena;
            IniciaSesion(false, QString(), cadena, 3);
        })
        .then([&] {
            AplicaSkin(this);
            vestida = true;
        })
        .then([&] {
            // The style is decoration: without it the window keeps the plain look.
            if (vestida) return;
            setStyleSheet(QString());
            qApp->setStyleSheet(QString());
        })
        .then([&] { CargaBarraEstado(sbStatusBar, QString()); })
        .then([&] { SuiteLib::tools().PrepareForm(this, 0); })
        .then([&] { AsignaIcono(this); })
        .then([&] { Inicializa(); })
        .then([&] { SuiteLib::tools().FormLoaded(this, QString()); })
        .then([&] { enfocaPrimerCampo(); });
    steps.run();
}

void frmCronequipo::enfocaPrimerCampo() {
    // The window opens on the first control of its tab order that takes the focus.
    for (QWidget* w = txtfields[0]; w; w = w->nextInFocusChain()) {
        if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
        if (w->nextInFocusChain() == txtfields[0]) return;
    }
}

void frmCronequipo::recuperaFoco(QLineEdit* field) {
    // Right after a modal window closes the window may not be active yet, and nothing has the
    // focus; the field gets it back as the window does.
    activateWindow();
    field->setFocus(Qt::OtherFocusReason);
}

void frmCronequipo::Inicializa() {
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return SuiteLib::tools().HandleError(e, QVariant(), QStringLiteral("Inicializa"));
    });
    steps.then([&] { SuiteLib::formTools().PrepareFields(this, 1); })
        .then([&] {
            CmbPeriodicidad->clear();
            for (const char* p : kPeriodicidades) CmbPeriodicidad->addItem(QString::fromUtf8(p));
            CmbPeriodicidad->setCurrentIndex(0);
        })
        .then([&] {
            CmbTG->clear();
            for (const char* t : kTiposReporte) CmbTG->addItem(QString::fromUtf8(t));
        })
        .then([&] {
            campo(QStringLiteral("fechad"))->setText(hoy());
            campo(QStringLiteral("fechah"))->setText(hoy());
        })
        .then([&] {
            CmbTG->setCurrentIndex(0);
            CmbTG_Click();
        });
    steps.run();
}

QLineEdit* frmCronequipo::campo(const QString& dataField) const {
    const std::vector<QWidget*> fields(txtfields.begin(), txtfields.end());
    const int i = SuiteLib::formTools().FieldIndex(dataField, fields);
    if (i < 0)
        platform::raise(platform::errnum::SubscriptOutOfRange,
                        QStringLiteral("Campo desconocido: ") + dataField);
    return txtfields[static_cast<std::size_t>(i)];
}

void frmCronequipo::CmbTG_Click() {
    const bool cronograma = CmbTG->currentIndex() == 0 || CmbTG->currentIndex() == 1;
    for (const char* f : {"fechad", "fechah"}) {
        QLineEdit* e = campo(QString::fromLatin1(f));
        e->setEnabled(cronograma);
        e->setText(cronograma ? hoy() : QString());
    }
    for (const char* f : {"tecnicoD", "tecnicoH"}) {
        QLineEdit* e = campo(QString::fromLatin1(f));
        e->clear();
        e->setEnabled(cronograma);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{chkCodigo, chkDescripcion, chkCliente, chkUbicacion,
                                         chkTecnico, frmCampos, CmbPeriodicidad})
        w->setEnabled(cronograma);
    // A disabled field offers no lookup.
    if (!cronograma) TBarRep1->setHabilitaConsulta(false);
}

int frmCronequipo::indexOf(QObject* field) const {
    for (std::size_t i = 0; i < txtfields.size(); ++i)
        if (txtfields[i] == field) return static_cast<int>(i);
    return -1;
}

void frmCronequipo::setFieldColour(QLineEdit* field, bool focused) {
    // The field's own sheet wins over whatever the style says of line edits; a disabled field
    // keeps the style's disabled look.
    field->setStyleSheet(focused
                             ? QStringLiteral("QLineEdit:enabled { background-color: #00FFFF; }")
                             : QStringLiteral("QLineEdit:enabled { background-color: #FFFFFF; }"));
}

void frmCronequipo::txtfields_GotFocus(int index) {
    QLineEdit* f = txtfields[static_cast<std::size_t>(index)];
    campoActivo_ = f;
    TBarRep1->setHabilitaConsulta(!f->property("Tag").toString().trimmed().isEmpty());
    SuiteLib::formTools().FieldGotFocus(f, QString());
    indiceActivo_ = static_cast<qint16>(index);
    setFieldColour(f, true);
    f->setSelection(0, static_cast<int>(f->text().size()));
}

void frmCronequipo::txtfields_KeyDown(int index, int& keyCode) {
    QLineEdit* f = txtfields[static_cast<std::size_t>(index)];
    if (SuiteLib::formTools().IsMoveKey(keyCode)) {
        Campo_Valida(f);
        if (hayError_.isValid() && hayError_.toBool()) {
            recuperaFoco(f);  // the message box took it
        } else {
            SuiteLib::formTools().MoveByKey(keyCode, f);
        }
    }
    TBarRep1->setHabilitaConsulta(!f->property("Tag").toString().trimmed().isEmpty());
}

void frmCronequipo::Campo_Valida(QLineEdit* field) {
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return SuiteLib::tools().HandleError(e, QVariant(), QStringLiteral("Campo_Valida"));
    });
    steps.then([&] { hayError_ = false; }).then([&] {
        const QString texto = field->text().trimmed();
        const QString clave = field->property("dataField").toString().trimmed();
        if (clave.compare(QLatin1String("fechad"), Qt::CaseInsensitive) != 0 &&
            clave.compare(QLatin1String("fechah"), Qt::CaseInsensitive) != 0)
            return;
        if (texto.isEmpty() && CmbTG->currentIndex() == 0) {
            hayError_ = true;
            platform::msgBox(QStringLiteral("De completar los campos de fecha"),
                             platform::mb::Critical, QStringLiteral("Aviso al operador..."));
        }
    });
    steps.run();
}

bool frmCronequipo::HayCamposChecked() const {
    return chkCodigo->isChecked() || chkDescripcion->isChecked() || chkCliente->isChecked() ||
           chkUbicacion->isChecked() || chkTecnico->isChecked();
}

bool frmCronequipo::CamposValidos() {
    for (QLineEdit* f : txtfields) {
        Campo_Valida(f);
        if (hayError_.isValid() && hayError_.toBool()) return false;
    }
    return true;
}

void frmCronequipo::ConsultaCampo() {
    // A disabled field offers nothing.
    if (!campoActivo_ || !campoActivo_->isEnabled()) return;
    QLineEdit* campo = campoActivo_;
    const QString tag = campo->property("Tag").toString().trimmed();
    if (tag.compare(QLatin1String("FECHA"), Qt::CaseInsensitive) == 0) {
        campo->setText(SuiteLib::tools().PickDate(campo->text()).trimmed());
        recuperaFoco(campo);
        int enter = Qt::Key_Return;
        txtfields_KeyDown(indiceActivo_, enter);
    } else if (tag.compare(QLatin1String("v_ta_tecnicos"), Qt::CaseInsensitive) == 0) {
        Lib_ClsCons3& consulta = gConsulta();
        consulta.CampoDevuelto = QStringLiteral("Código");
        QString sql =
            QStringLiteral("select idtecnico as Código, Nombre as Técnico from v_ta_tecnicos");
        std::optional<QStringList> devueltos;
        QString busqueda, condicion;
        consulta.ConsultaSearch(sql, devueltos, QString(), busqueda, condicion, QString(), false,
                                QString());
        // A cancelled lookup leaves the field empty, as the suite's windows do.
        campo->setText(consulta.ValorDevuelto.textOr(QString()).trimmed());
        recuperaFoco(campo);
    }
}

ParametrosCronograma frmCronequipo::parametros() const {
    ParametrosCronograma p;
    p.tipo = CmbTG->currentIndex();
    p.fechaD = campo(QStringLiteral("FECHAD"))->text();
    p.fechaH = campo(QStringLiteral("FECHAH"))->text();
    p.periodicidad = CmbPeriodicidad->currentIndex();
    p.periodicidadTexto = CmbPeriodicidad->currentText();
    p.tecnicoD = campo(QStringLiteral("tecnicoD"))->text();
    p.tecnicoH = campo(QStringLiteral("tecnicoH"))->text();
    p.codigo = chkCodigo->isChecked();
    p.descripcion = chkDescripcion->isChecked();
    p.cliente = chkCliente->isChecked();
    p.ubicacion = chkUbicacion->isChecked();
    p.tecnico = chkTecnico->isChecked();
    return p;
}

bool frmCronequipo::GeneraAuxiliar() {
    AvisoBanner aviso;
    GeneradorCronograma generador(aviso);
    // Busy for exactly as long as the run, however it ends.
    struct Ocupado {
        frmCronequipo& w;
        explicit Ocupado(frmCronequipo& v) : w(v) {
            w.generando_ = true;
            w.TBarRep1->setOcupado(true);
        }
        ~Ocupado() {
            w.generando_ = false;
            w.TBarRep1->setOcupado(false);
        }
    } ocupado(*this);
    return generador.GeneraAuxiliar(parametros());
}

SuiteLib::ReportOutput::ExtraSave frmCronequipo::guardaCalendario(const ParametrosCronograma& p) {
    SuiteLib::ReportOutput::ExtraSave e;
    e.button = QStringLiteral("Calendario");
    e.tooltip = QStringLiteral("Guardar las visitas del cronograma como calendario (iCalendar)");
    e.caption = QStringLiteral("Guardar las visitas como calendario");
    e.filter = QStringLiteral("Calendarios (*.ics)");
    e.suffix = QStringLiteral("ics");
    e.write = [p](const QString& archivo) {
        return CalendarioCronograma(p).guarda(archivo, false);
    };
    return e;
}

void frmCronequipo::Comando(QString& command) {
    // A generation yields to the window: a command chosen meanwhile is refused, never nested.
    if (generando_) return;
    const QString c = command.toUpper();
    auto falta = [] {
        platform::msgBox(
            QStringLiteral("Debe informar un campo para la primera columna del cronograma"),
            platform::mb::Information, QStringLiteral("Aviso al usuario"));
    };
    if (c == QLatin1String("PANTALLA")) {
        if (!CamposValidos()) return;
        if (CmbTG->currentIndex() == 0 && !HayCamposChecked()) return falta();
        SuiteLib::ReportOutput salida;
        if (CmbTG->currentIndex() <= 1) salida.extra = guardaCalendario(parametros());
        SuiteLib::reportRunner().setOutput(salida);
        GeneraAuxiliar();
    } else if (c == QLatin1String("IMPRESORA")) {
        if (!CamposValidos()) return;
        SuiteLib::ReportOutput salida;
        salida.kind = SuiteLib::ReportOutput::Kind::Printer;
        SuiteLib::reportRunner().setOutput(salida);
        if (CmbTG->currentIndex() != 0) {
            GeneraAuxiliar();
        } else if (HayCamposChecked()) {
            auto& runner = SuiteLib::reportRunner();
            runner.ApplyPrintSetting(runner.ReadPrintSetting());
            GeneraAuxiliar();
        } else {
            falta();
        }
    } else if (c == QLatin1String("CERRAR")) {
        close();
    } else if (c == QLatin1String("CONSULTAR")) {
        ConsultaCampo();
    }
}

bool frmCronequipo::eventFilter(QObject* watched, QEvent* event) {
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this) return false;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        // Key preview: the toolbar sees every key of this window before the control. A command
        // key is consumed here; any other key is left alone, so seeing it again while it
        // travels to the parents does nothing.
        if (widget) {
            int code = key->key();
            TBarRep1->ProcesaTecla(code);
            if (code == 0) return true;
        }
        const int i = indexOf(watched);
        if (i >= 0) {
            int code = key->key();
            if (SuiteLib::formTools().IsMoveKey(code)) {
                txtfields_KeyDown(i, code);
                return true;
            }
            txtfields_KeyDown(i, code);
            if (!key->text().isEmpty()) {
                int ch = key->text().at(0).unicode();
                SuiteLib::formTools().FilterKey(txtfields[static_cast<std::size_t>(i)], ch);
                if (ch == 0) return true;
            }
            return false;
        }
        if (watched == CmbTG || watched == CmbPeriodicidad) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
            // The lists change only with the arrows or the mouse.
            if (!key->text().isEmpty() && key->text().at(0).isPrint()) return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        const int i = indexOf(watched);
        if (i >= 0) {
            txtfields_GotFocus(i);
        } else if (watched == CmbTG || watched == CmbPeriodicidad) {
            TBarRep1->setHabilitaConsulta(false);
        }
    } else if (event->type() == QEvent::FocusOut) {
        const int i = indexOf(watched);
        if (i >= 0) setFieldColour(txtfields[static_cast<std::size_t>(i)], false);
    } else if (event->type() == QEvent::MouseButtonPress) {
        const int i = indexOf(watched);
        if (i >= 0 && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            // A disabled field does not react (Qt hands us its clicks all the same).
            if (!txtfields[static_cast<std::size_t>(i)]->isEnabled()) return true;
            indiceActivo_ = static_cast<qint16>(i);
            ConsultaCampo();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmCronequipo::closeEvent(QCloseEvent* event) {
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return SuiteLib::tools().HandleError(e, QVariant(), QStringLiteral("unload"));
    });
    steps.then([&] { SuiteLib::tools().FormUnloading(this, QString()); });
    steps.run();
    event->accept();
    try {
        platform::process::exitProgram(0);
    } catch (const platform::process::ProgramEnded&) {
        // A replaced exit routine (tests) has seen the end; nothing may cross the event loop.
    }
}
