#include "connect/frmAcceso.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <cstdio>

#include "connect/BasesRegistradas.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/DestinoEscritura.h"
#include "platform/Escritura.h"
#include "platform/Failure.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/so/AccesoDirecto.h"
#include "platform/so/Entorno.h"
#include "suitelib/SuiteLib.h"
#include "widgets/GuardedApplication.h"

namespace {

QLineEdit* caja(QWidget* parent, const char* nombre, const char* texto, const char* ayuda) {
    auto* e = new QLineEdit(QString::fromUtf8(texto), parent);
    e->setObjectName(QString::fromUtf8(nombre));
    e->setToolTip(QString::fromUtf8(ayuda));
    return e;
}

}  // namespace

frmAcceso::frmAcceso(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    auto* exterior = new QVBoxLayout(this);
    auto* principal = new QHBoxLayout;
    exterior->addLayout(principal, 1);
    auto* izquierda = new QVBoxLayout;
    Label1_1 = new QLabel(QStringLiteral("Conexiones registradas"), this);
    lstBases = new QListWidget(this);
    lstBases->setObjectName(QStringLiteral("lstBases"));
    izquierda->addWidget(Label1_1);
    izquierda->addWidget(lstBases, 1);
    principal->addLayout(izquierda, 1);

    framAcceso = new QGroupBox(this);
    auto* grid = new QGridLayout(framAcceso);
    Label1_0 = new QLabel(QStringLiteral("Complete los datos de conexion"), framAcceso);
    grid->addWidget(Label1_0, 0, 0, 1, 2);
    TxtServidor = caja(framAcceso, "TxtServidor", "", "ingrese el nombre del servidor e instancia");
    TxtDbName = caja(framAcceso, "TxtDbName", "", "ingrese el nombre de la base de datos");
    TxtUserId = caja(framAcceso, "TxtUserId", " ", "Ingrese el nombre de usuario");
    TxtUserPassword = caja(framAcceso, "TxtUserPassword", "", "Ingrese la contraseña");
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    TxtPuerto = caja(framAcceso, "TxtPuerto", "1433", "Ingrese el Puerto ");
    CboPlataformaDB = new QComboBox(framAcceso);
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    CboPlataformaDB->addItems({QStringLiteral("SQL Server"), QStringLiteral("ORACLE")});
    const struct {
        const char* etiqueta;
        QWidget* control;
    } filas[] = {{"Servidor", TxtServidor}, {"Base de datos", TxtDbName},
                 {"Usuario", TxtUserId},    {"Contraseña", TxtUserPassword},
                 {"Puerto", TxtPuerto},     {"Plataforma", CboPlataformaDB}};
    int fila = 1;
    for (const auto& f : filas) {
        grid->addWidget(new QLabel(QString::fromUtf8(f.etiqueta), framAcceso), fila, 0);
        grid->addWidget(f.control, fila++, 1);
    }
    principal->addWidget(framAcceso, 2);

    auto* botones = new QVBoxLayout;
    bcAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    bcCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    CmdRegistrar = new QPushButton(QStringLiteral("Registrar"), this);
    CmdLineaComando = new QPushButton(QStringLiteral("Crear Acceso Directo"), this);
    connect(CmdLineaComando, &QPushButton::clicked, this, [this] { CmdLineaComando_Click(); });
    connect(CmdRegistrar, &QPushButton::clicked, this, &frmAcceso::CmdRegistrar_Click);
    for (QPushButton* b : {bcAceptar, bcCancelar, CmdRegistrar, CmdLineaComando})
        botones->addWidget(b);
    botones->addStretch(1);
    principal->addLayout(botones);
    // What Registrar and Crear Acceso Directo did, said without stopping the user.
    lblEstado = new QLabel(this);
    lblEstado->setObjectName(QStringLiteral("lblEstado"));
    lblEstado->setTextInteractionFlags(Qt::TextSelectableByMouse);
    exterior->addWidget(lblEstado);
    bcAceptar->setDefault(true);

    connect(bcAceptar, &QPushButton::clicked, this, [this] {
        // A box that holds only blanks or its prompt is read as empty.
        for (QLineEdit* e : {TxtUserId, TxtUserPassword, TxtDbName, TxtServidor}) MensajeInicial(e);
        Aceptar = true;
        hide();
        accept();
    });
    connect(bcCancelar, &QPushButton::clicked, this, [this] {
        Aceptar = false;
        hide();
        reject();
    });
    connect(lstBases, &QListWidget::currentRowChanged, this, [this] { AsignarDatosBase(); });
    connect(lstBases, &QListWidget::itemDoubleClicked, this, [this] {
        AsignarDatosBase();
        bcAceptar->click();
    });
    lstBases->installEventFilter(this);
    TxtUserId->installEventFilter(this);
    for (QLineEdit* e : {TxtDbName, TxtServidor, TxtUserPassword})
        connect(e, &QLineEdit::textChanged, this, [this, e] { MensajeInicial(e); });
}

void frmAcceso::Carga() {
    llenarlist();
    for (QLineEdit* e : {TxtUserId, TxtUserPassword, TxtDbName, TxtDbName, TxtServidor})
        MensajeInicial(e);
    // Sized once the list and the prompts are in, which widen it.
    adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->geometry();
        move((r.width() - width()) / 2, (r.height() - height()) / 2);
    }
}

void frmAcceso::llenarlist() {
    archivo_ = SuiteLib::tools().FolderPath(platform::process::programFolder()) +
               QStringLiteral("BASES.TXT");
    lstBases->clear();
    std::vector<BaseRegistrada> bases;
    // A file that cannot be read whole (too large) is reported and lists nothing; the dialog
    // opens all the same.
    auto lee = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        platform::GuardedApplication::report(e, QStringLiteral("FormLoad"));
        return static_cast<int>(platform::mb::Abort);
    });
    lee.then([&] { bases = leeBases(archivo_); });
    lee.run();
    for (const BaseRegistrada& b : bases)
        if (!b.clave.trimmed().isEmpty()) lstBases->addItem(b.clave);
    // Every entry whole, without a horizontal scroll bar.
    lstBases->setMinimumWidth(lstBases->sizeHintForColumn(0) + 2 * lstBases->frameWidth() +
                              lstBases->verticalScrollBar()->sizeHint().width());
    if (lstBases->count() > 0) lstBases->setCurrentRow(0);
}

bool frmAcceso::eligeEntrada(const QString& clave) {
    const auto halladas = lstBases->findItems(clave, Qt::MatchExactly);
    if (halladas.isEmpty()) return false;
    lstBases->setCurrentItem(halladas.first());
    // Chosen again, it fills the fields again even when it was already the current entry.
    AsignarDatosBase();
    return true;
}

void frmAcceso::AsignarDatosBase() {
    const QListWidgetItem* item = lstBases->currentItem();
    if (!item) return;
    std::optional<BaseRegistrada> base;
    // Whatever the reporter answers, a lookup that failed ends there.
    auto busca = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        SuiteLib::tools().HandleError(e, {}, QStringLiteral("DatosBase"));
        return static_cast<int>(platform::mb::Abort);
    });
    busca.then([&] { base = buscaBase(archivo_, item->text()); });
    busca.run();
    if (!base) return;
    const CamposDeBase c = camposDe(*base);
    // A port, once an entry has given one, stays until another entry gives another.
    if (c.puerto) puerto_ = c.puerto;
    puertoDeLaEntrada_ = c.puerto.has_value();
    TxtServidor->setText(c.servidor);
    TxtUserId->setText(QString());
    TxtUserPassword->setText(QString());
    TxtDbName->setText(c.base);
    TxtPuerto->setText(puerto_.value_or(QString()));
}

QString frmAcceso::servidorConPuerto() const {
    const QString servidor = TxtServidor->text();
    const QString nombre = servidor.trimmed();
    const bool elegido = puertoDeLaEntrada_ || TxtPuerto->isModified();
    const double puerto = SuiteLib::tools().TextToNumber(TxtPuerto->text());
    if (!elegido || puerto < 1 || puerto > 65535 || nombre.isEmpty() ||
        servidor == promptDe(TxtServidor) || nombre.contains(QLatin1Char(',')) ||
        nombre.contains(QLatin1Char('#')) ||
        nombre.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0)
        return servidor;
    return nombre + QLatin1Char(',') + QString::number(static_cast<qint64>(puerto));
}

QString frmAcceso::promptDe(const QLineEdit* caja) const {
    if (caja == TxtUserId) return QStringLiteral("Ingrese el usuario");
    if (caja == TxtDbName) return QStringLiteral("ingrese el nombre de la base de datos");
    if (caja == TxtServidor) return QStringLiteral("ingrese el nombre del servidor e instancia");
    return QString();
}

void frmAcceso::anchoParaPrompt(QLineEdit* caja) {
    // The box's room for text, as the line edit measures it, holds the whole prompt.
    QStyleOptionFrame op;
    op.initFrom(caja);
    op.lineWidth = caja->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &op, caja);
    const QMargins m = caja->textMargins();
    const int margenLinea = 2;  // the line edit's own margin on each side of its text
    const int texto = caja->fontMetrics().horizontalAdvance(caja->placeholderText()) +
                      2 * margenLinea + m.left() + m.right();
    const QSize total = caja->style()->sizeFromContents(
        QStyle::CT_LineEdit, &op, QSize(texto, caja->sizeHint().height()), caja);
    caja->setMinimumWidth(std::max(caja->minimumWidth(), total.width()));
}

void frmAcceso::MensajeInicial(QLineEdit* ObjTxt) {
    // The box draws the prompt itself, in its own colour, and only while it holds nothing: a
    // click or a key starts the value, and a prompt never becomes one.
    const QString prompt = promptDe(ObjTxt);
    if (ObjTxt->placeholderText() != prompt) {
        ObjTxt->setPlaceholderText(prompt);
        anchoParaPrompt(ObjTxt);
    }
    if (ObjTxt->text().isEmpty()) return;
    if (!ObjTxt->text().trimmed().isEmpty() && ObjTxt->text() != prompt) return;
    const QSignalBlocker quieto(ObjTxt);
    ObjTxt->clear();
}

bool frmAcceso::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstBases && event->type() == QEvent::KeyRelease) AsignarDatosBase();
    if (watched == TxtUserId && event->type() == QEvent::FocusIn) MensajeInicial(TxtUserId);
    return QDialog::eventFilter(watched, event);
}

bool frmAcceso::ExisteBaseDeDatos(const QString& servidor, const QString& base,
                                  const QString& usuario, const QString& clave,
                                  const QString& proveedor) {
    DB_Dll& db = gDB();
    // Any failing step answers no; the steps after it still run, so the connection ends closed.
    auto pasos = platform::Steps::skipping();
    pasos
        .then([&] {
            if (db.gOpenFlag) db.gCnn.close();
        })
        .then([&] {
            db.gCnn.open(QStringLiteral("PROVIDER=%1;Server=%2;Database =%3;UId=%4;Pwd=%5;")
                             .arg(proveedor, servidor, base, usuario, clave),
                         QString(), QString(), -1);
        })
        .then([&] { db.gCnn.close(); });
    pasos.run();
    return pasos.lastError().number == 0;
}

void frmAcceso::CmdRegistrar_Click() {
    QString clave, servidor, base;
    DB_Dll& db = gDB();
    bool sigue = false;  // on to the set-up tool and the reload
    bool grabada = false;
    lblEstado->clear();
    bool primera = false;
    auto steps = platform::Steps::trapping([&](const platform::ErrorInfo& e) {
        // The errors a registration expects of its connections go by; any other is shown and
        // the registration goes on with the set-up tool.
        static const qint32 esperados[] = {3704, -2147023840, 1056, 440, 20480};
        if (std::find(std::begin(esperados), std::end(esperados), e.number) != std::end(esperados))
            return platform::mb::Ignore;
        platform::msgBox(QStringLiteral("SQL Server start failed.  \rSQL-DMO error:  ") +
                         (e.number >= 0 ? QStringLiteral(" ") : QString()) +
                         QString::number(e.number) + QLatin1Char(' ') + e.description);
        sigue = true;
        return 0;
    });
    steps
        .then([&] {
            clave = claveDeRegistro(TxtDbName->text(), TxtServidor->text());
            if (!buscaBase(archivo_, clave)) return;
            platform::msgBox(QStringLiteral("La conexion que intenta registrar ya existe "),
                             platform::mb::Information, QStringLiteral("Atencion"));
            platform::Steps::leave();
        })
        .then([&] {
            const double puerto = SuiteLib::tools().TextToNumber(TxtPuerto->text());
            puerto_ = QString::number(puerto == 0 ? 1433 : static_cast<qint64>(puerto));
            for (QLineEdit* e : {TxtServidor, TxtUserId, TxtUserPassword, TxtDbName})
                e->setText(e->text().trimmed());
            servidor = TxtServidor->text();
            base = TxtDbName->text();
        })
        .then([&] {
            // First with the database name as login, then with the typed one.
            primera = ExisteBaseDeDatos(servidor, base.toUpper(), base.toUpper(), base.toUpper(),
                                        QStringLiteral("SQLOLEDB"));
            if (!primera && db.gOpenFlag) db.gCnn.close();
        })
        .then([&] {
            if (primera) return;
            db.gServidor = servidor;
            db.gUsuario = TxtUserId->text();
            db.gUserPassWord = TxtUserPassword->text();
            db.gDBName = base;
            db.OpenServerADODB(false, 3, QString(), true, true);
            if (db.gOpenFlag) return;
            platform::msgBox(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + servidor +
                                 QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD "
                                                "INGRESADO"),
                             platform::mb::Information, QStringLiteral("AVISO AL OPERADOR"));
            platform::Steps::leave();
        })
        .then([&] {
            QString error;
            bool yaExiste = false;
            grabada =
                GrabaBaseRegistrada(archivo_, clave, base, base, base, servidor, &error, &yaExiste);
            if (grabada) return;
            // Registered by another window or program while this one was asking the server.
            platform::msgBox(error,
                             yaExiste ? platform::mb::Information : platform::mb::Exclamation,
                             QStringLiteral("Atencion"));
            platform::Steps::leave();
        });
    sigue = steps.run() || sigue;
    if (!sigue) return;
    // The suite's set-up tool, when it lies in the program folder.
    const QString carpeta = SuiteLib::tools().FolderPath(platform::process::programFolder());
    if (QFileInfo(carpeta + QStringLiteral("ODBC.exe")).isFile())
        platform::process::startProgram(carpeta + QStringLiteral("ODBC.exe Server=") + servidor +
                                        QStringLiteral(";DB=") + base + QLatin1Char(';'));
    auto cierra = platform::Steps::skipping();
    cierra.then([&] { db.gCnn.close(); });
    cierra.run();
    llenarlist();
    if (grabada) lblEstado->setText(QStringLiteral("Conexión registrada: ") + clave.trimmed());
}

QString frmAcceso::carpetaEscritorio() {
    return QDir::fromNativeSeparators(QString::fromStdString(so::carpetaEscritorio()));
}

bool frmAcceso::CmdLineaComando_Click() {
    lblEstado->clear();
    const QString carpeta = carpetaEscritorio();
    const std::string nombre = "Belmo Tareas";
    const QString destino =
        carpeta + QLatin1Char('/') + QString::fromStdString(so::archivoDeAccesoDirecto(nombre));
    // The program alone: the parameter string it was started with carries the password, which
    // has no place in a file on the desktop, and a start without it asks for the connection.
    const so::AccesoDirecto acceso{
        nombre, QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(), "",
        QDir::toNativeSeparators(SuiteLib::tools().FolderPath(platform::process::programFolder()) +
                                 QStringLiteral("vorlane.ico"))
            .toStdString()};
    QString porque;
    const QString temporal = destino + QStringLiteral(".tmp");
    if (!QFileInfo(carpeta).isDir()) {
        porque = QStringLiteral("no existe la carpeta del escritorio %1").arg(carpeta);
    } else if (const auto noSe = platform::porQueNoSeEscribe(destino)) {
        porque = *noSe;
    } else if (const auto noSeTemporal = platform::porQueNoSeEscribe(temporal)) {
        porque = *noSeTemporal;
    } else if (!so::escribeAccesoDirecto(temporal.toStdString(), acceso)) {
        // Written beside and renamed over: a second click replaces the shortcut whole.
        porque = QStringLiteral("no se puede escribir en %1").arg(carpeta);
        QFile::remove(temporal);
    } else if (!platform::escritura::reemplaza(temporal, destino)) {
        porque = QStringLiteral("no se puede reemplazar %1").arg(destino);
        QFile::remove(temporal);
    }
    if (porque.isEmpty()) {
        lblEstado->setText(QStringLiteral("Acceso directo creado en ") + destino);
        return true;
    }
    platform::msgBox(QStringLiteral("No se pudo crear el acceso directo: %1.").arg(porque),
                     platform::mb::Exclamation, QStringLiteral("Atencion"));
    return false;
}

bool frmAcceso::EjecutarCmdRegDB(const QString& archivo, QString& errDevuelto) {
    QStringList partes = QProcess::splitCommand(archivo);
    QProcess p;
    if (!partes.isEmpty()) {
        const QString programa = partes.takeFirst();
        p.start(programa, partes);
    }
    if (!p.waitForStarted(10000)) {
        errDevuelto = QStringLiteral("Error al ejecutar el comando");
        return false;
    }
    // The window keeps painting while the command runs.
    while (p.state() != QProcess::NotRunning) {
        p.waitForFinished(50);
        QCoreApplication::processEvents();
    }
    return true;
}
