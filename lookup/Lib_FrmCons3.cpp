#include "lookup/Lib_FrmCons3.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <cstdio>
#include <optional>

#include "data/db_dll/DB_Dll.h"
#include "lookup/AnchosConsulta.h"
#include "lookup/FuenteRecordset.h"
#include "lookup/LecturaConsulta.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ListaConsulta.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/ArchivoLegible.h"
#include "platform/DestinoEscritura.h"
#include "platform/Escritura.h"
#include "platform/Failure.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "suitelib/SuiteLib.h"

namespace {

bool contiene(const QString& texto, const char* que) {
    return texto.contains(QLatin1String(que), Qt::CaseInsensitive);
}

QColor colorDe(const platform::Variant& v) {
    const qint64 n = v.isEmpty() || v.isNull() ? 0 : static_cast<qint64>(v.toNumber());
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                  static_cast<int>((n >> 16) & 0xFF));
}

// The table a statement reads: what follows its first "from" up to the next blank.
QString tablaDe(const QString& sql) {
    const int desde = static_cast<int>(sql.indexOf(QLatin1String("from"), 0, Qt::CaseInsensitive));
    const int inicio = desde < 0 ? 3 : desde + 4;
    const int blanco = static_cast<int>(sql.indexOf(QLatin1Char(' '), inicio + 1));
    return sql.mid(inicio, blanco < 0 ? -1 : blanco - inicio).trimmed();
}

// Each field's name and width in letters: its defined size up to 60, 12 for amounts.
std::vector<std::pair<QString, int>> camposDe(ado::Recordset& rs) {
    std::vector<std::pair<QString, int>> campos;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        const auto& f = rs.field(i);
        int x = static_cast<int>(std::min<qint64>(f.definedSize(), 60));
        if (f.type() == 6 || f.type() == 131) x = 12;
        campos.emplace_back(f.name(), x);
    }
    return campos;
}

// Rows read before the window shows: a screen's worth many times over, read in a moment.
constexpr int kPrimeras = 2000;

}  // namespace

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Lib_FrmCons3"));
    setWindowTitle(QStringLiteral("Consulta..."));
    Label1 = new QLabel(QStringLiteral("CONSULTA"), this);
    picFields = new QWidget(this);
    picFields->setObjectName(QStringLiteral("picFields"));
    filaCajas_ = new QWidget(picFields);
    Frame1 = new QWidget(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lista_ = new ListaConsulta(this);
    // The rows that come in while the window is shown report their failures as its load does.
    lectura_ = new LecturaConsulta(
        *lista_,
        [this](const platform::ErrorInfo& e) {
            return reportaCarga(e, SQL, QStringLiteral("FORM_LOAD"));
        },
        this);
    connect(lectura_, &LecturaConsulta::llegaron, this, &Lib_FrmCons3::alLlegarFilas);
    ListView1 = new QTableView(picFields);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(lista_);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ListView1->setWordWrap(false);
    QFont negrita = ListView1->font();
    negrita.setBold(true);
    negrita.setPointSize(10);
    ListView1->setFont(negrita);
    ListView1->horizontalHeader()->setSectionsClickable(true);
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), Frame1);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), Frame1);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), Frame1);
    CmdNuevo = new QPushButton(QStringLiteral("N&uevo"), Frame1);
    CmdTodos = new QPushButton(QStringLiteral("&Marcar"), Frame1);
    connect(CmdNuevo, &QPushButton::clicked, this, &Lib_FrmCons3::nuevoRegistro);
    // F12 wherever the focus is in the window.
    auto* f12 = new QShortcut(QKeySequence(Qt::Key_F12), this);
    f12->setContext(Qt::WindowShortcut);
    connect(f12, &QShortcut::activated, this, &Lib_FrmCons3::informaFaltante);
    connect(CmdNueva, &QPushButton::clicked, this, &Lib_FrmCons3::empiezaDeNuevo);
    connect(CmdTodos, &QPushButton::clicked, this, &Lib_FrmCons3::marcaTodos);
    CmdAceptar->setDefault(true);
    nuevaCaja(0);

    connect(CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3::Aceptar);
    connect(CmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3::Cancelar);
    connect(ListView1, &QTableView::doubleClicked, this, [this] { Aceptar(); });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Lib_FrmCons3::ordenaPor);
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionResized, this,
            &Lib_FrmCons3::alineaCajas);
    connect(ListView1->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &Lib_FrmCons3::alineaCajas);
    ListView1->installEventFilter(this);
    ajustaAnchoMinimo();
    resize(640, 420);
}

Lib_FrmCons3::~Lib_FrmCons3() {
    lectura_->suelta();
}

QComboBox* Lib_FrmCons3::nuevaCaja(int k) {
    auto* c = new QComboBox(filaCajas_);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setObjectName(QStringLiteral("CmbSearch%1").arg(k));
    c->setToolTip(k == 0 ? QStringLiteral("F5 realiza nueva busqueda") : QString());
    c->installEventFilter(this);
    c->lineEdit()->installEventFilter(this);
    connect(c, &QComboBox::editTextChanged, this, [this, k] { busquedaLocal(k); });
    cajas_.push_back(c);
    filaCajas_->setMinimumHeight(c->sizeHint().height());
    return c;
}

QComboBox* Lib_FrmCons3::CmbSearch(int k) const {
    return k >= 0 && k < cantidadCajas() ? cajas_[static_cast<std::size_t>(k)] : nullptr;
}

void Lib_FrmCons3::Carga() {
    // The rows of the last statement stop coming before the new one is run.
    lectura_->suelta();
    elegida_ = QPersistentModelIndex();
    buscadaEn_ = -1;
    articulos_ = contiene(SQL, "articulos");
    Valores = QStringList();
    Cantidades = QStringList();
    lista_->vacia();
    if (SQL.trimmed().isEmpty()) {
        SuiteLib::tools().PrepareForm(this, 0);
        return;
    }
    SQL += QLatin1Char(' ');
    tabla_ = tablaDe(SQL);
    if (sentenciaInicial_.isEmpty()) sentenciaInicial_ = SQL;
    sentenciaBase_ = SQL;

    DB_Dll& db = gDB();
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::trapping([this](const platform::ErrorInfo& e) {
        return reportaCarga(e, SQL, QStringLiteral("FORM_LOAD"));
    });
    steps
        .then([&] {
            QString sql = SQL;
            db.AbrirLectura(sql, rs);
        })
        .then([&] { lista_->setCasillas(CheckBoxes); })
        .then([&] { encolumnar(camposDe(*rs)); })
        .then([&] { leePrimeras(rs); })
        .then([&] {
            if (OrdenarPorLwv) lista_->ordena(columnaOrden_, orden_);
            muestraOrden(OrdenarPorLwv);
        })
        .then([&] {
            // The first row is the chosen one until the user picks another, after F5 and
            // Nueva Busqueda as when the window opens: Enter takes it.
            if (lista_->rowCount() > 0) eligeFila(0, -1);
        })
        .then([&] {
            if (!FiltroInicial.trimmed().isEmpty()) cajas_[0]->setEditText(FiltroInicial);
        })
        .then([&] {
            if (rs) db.CierraRecordset(rs);
        })
        .then([&] { aplicaAnchos(); })
        .cleanup([&] {
            if (rs && rs->state() == ado::adstate::Open) db.CierraRecordset(rs);
        });
    steps.run();
    alineaCajas();
    SuiteLib::tools().PrepareForm(this, 0);
    ajustaAnchoMinimo();
}

void Lib_FrmCons3::leePrimeras(DB_Dll::Recordset& rs) {
    if (rs->state() != ado::adstate::Open || (rs->bof() && rs->eof())) return;
    FuenteRecordset::Forma forma;
    forma.casillas = CheckBoxes;
    forma.devuelta = IndiceColumna(CampoDevuelto) - 1;
    forma.valoresDefault = ValoresDefault;
    if (articulos_ && MuestraStock.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0)
        forma.niveles = std::array<QColor, 4>{colorDe(StkNivel1), colorDe(StkNivel2),
                                              colorDe(StkNivel3), colorDe(StkNivel4)};
    // The source closes the recordset once it is read or let go.
    lectura_->empieza(std::make_unique<FuenteRecordset>(gDB(), std::move(rs), std::move(forma)),
                      kPrimeras);
}

void Lib_FrmCons3::encolumnar(const std::vector<std::pair<QString, int>>& campos) {
    const bool deArticulos = contiene(SQL, "V_MA_ARTICULOS") || contiene(SQL, "STK_MA_ARTICULOS");
    const bool anchas = ValoresDefault.compare(QLatin1String("@10"), Qt::CaseInsensitive) == 0;
    QStringList titulos;
    std::vector<int> anchos;
    for (std::size_t g = 0; g < campos.size(); ++g) {
        auto [nombre, x] = campos[g];
        if (g >= cajas_.size()) nuevaCaja(static_cast<int>(g));
        cajas_[g]->setProperty("Tag", nombre);
        cajas_[g]->setVisible(true);
        QString titulo = nombre;
        if (deArticulos) {
            static const QRegularExpression precio(QStringLiteral("^PRECIO([1-8])$"),
                                                   QRegularExpression::CaseInsensitiveOption);
            const auto m = precio.match(nombre);
            if (m.hasMatch() && serviciosConsulta().cfg)
                titulo =
                    serviciosConsulta().cfg(QStringLiteral("NOM_PCLASE") + m.captured(1)).trimmed();
        } else if (anchas) {
            x += 10;
        }
        titulos << titulo;
        anchos.push_back(x);
    }
    for (std::size_t g = campos.size(); g < cajas_.size(); ++g) cajas_[g]->setVisible(false);
    lista_->setColumnas(titulos);
    const QFontMetrics letras(ListView1->font());
    const int letra = letras.horizontalAdvance(QLatin1Char('X'));
    int total = 0;
    for (std::size_t g = 0; g < anchos.size(); ++g) {
        // x letters wide, and never narrower than its caption
        const int w = std::max(std::max(anchos[g], 1) * letra,
                               letras.horizontalAdvance(titulos[static_cast<qsizetype>(g)]) + 16);
        ListView1->setColumnWidth(static_cast<int>(g), w);
        total += w;
    }
    // As wide as the columns, within the screen.
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int pantalla = s ? s->availableGeometry().width() : 1024;
    resize(std::min(total + 60, pantalla - 32), height());
}

void Lib_FrmCons3::alineaCajas() {
    // The search boxes stand over their columns, also when the list scrolls sideways.
    const QHeaderView* h = ListView1->horizontalHeader();
    const int x0 = ListView1->geometry().x() - filaCajas_->geometry().x() + ListView1->frameWidth();
    for (std::size_t k = 0; k < cajas_.size(); ++k) {
        if (static_cast<int>(k) >= lista_->columnCount()) continue;
        const int sec = static_cast<int>(k);
        cajas_[k]->setGeometry(x0 + h->sectionViewportPosition(sec), 0,
                               std::max(h->sectionSize(sec) - 3, 8),
                               cajas_[k]->sizeHint().height());
    }
}

namespace {

// The window's measures are twips: 15 to a pixel.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

}  // namespace

int Lib_FrmCons3::anchoBoton() const {
    int bw = 0;
    for (const QPushButton* b : {CmdAceptar, CmdCancelar, CmdNueva, CmdNuevo, CmdTodos})
        bw = std::max(bw, b->sizeHint().width());
    return bw;
}

void Lib_FrmCons3::ajustaAnchoMinimo() {
    // Room for every button of the strip whole, with a gap around each: five with a new
    // statement (Cancelar in the middle), four in an option list.
    const int bw = anchoBoton(), g = px(100);
    setMinimumWidth(CmdNueva->isHidden() ? 4 * bw + 3 * g + px(100) + px(150) + 1
                                         : 5 * bw + 4 * g + 2 * px(150) + 1);
}

void Lib_FrmCons3::disponControles() {
    // The suite's window sizes count its frame (120 twips across, 480 down): "the window width
    // less 120" and "the window height less 480" are the inside of the window here.
    const int W = width(), H = height();
    const int bh = CmdAceptar->sizeHint().height();
    const int bw = anchoBoton();
    const int franja = bh + px(240);
    const int arriba = Label1->sizeHint().height();
    // The panel takes the window less the strip; the title stands above it.
    picFields->setGeometry(0, arriba, W, std::max(0, H - franja - arriba));
    const int cajas = CmbSearch(0)->sizeHint().height();
    filaCajas_->setGeometry(0, 0, picFields->width(), cajas);
    ListView1->setGeometry(0, cajas, std::max(0, picFields->width() - px(20)),
                           std::max(0, picFields->height() - cajas - px(120)));
    // The strip spans the window at the bottom.
    Frame1->setGeometry(0, H - franja, W, franja);
    disponBotones(W, (franja - bh) / 2, bw, bh);
    Label1->setGeometry(px(100), 0, std::max(0, ListView1->width() - bw), arriba);
}

void Lib_FrmCons3::disponBotones(int W, int y, int bw, int bh) {
    // Buttons spread evenly over the room between two edges.
    auto reparte = [&](int izquierda, int derecha, std::initializer_list<QPushButton*> botones) {
        const int n = static_cast<int>(botones.size());
        const int hueco = (derecha - izquierda - n * bw) / (n + 1);
        int x = izquierda + hueco;
        for (QPushButton* b : botones) {
            b->setGeometry(x, y, bw, bh);
            x += bw + hueco;
        }
    };
    const int izquierdaNueva = W - bw - px(150);
    CmdAceptar->setGeometry(px(100), y, bw, bh);
    CmdNueva->setGeometry(izquierdaNueva, y, bw, bh);
    if (CmdNueva->isHidden()) {
        // Option lists: Cancelar takes the place of Nueva Busqueda.
        CmdCancelar->setGeometry(izquierdaNueva, y, bw, bh);
        reparte(px(100) + bw, izquierdaNueva, {CmdTodos, CmdNuevo});
        return;
    }
    CmdCancelar->setGeometry((W - bw) / 2, y, bw, bh);
    reparte(px(100) + bw, CmdCancelar->x(), {CmdTodos});
    reparte(CmdCancelar->x() + bw, izquierdaNueva, {CmdNuevo});
}

void Lib_FrmCons3::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    disponControles();
    alineaCajas();
}

int Lib_FrmCons3::Busqueda(int clave, const QString& queValor) {
    int r = lista_->busca(clave, queValor);
    if (r < 0 && !lectura_->completa()) {
        lectura_->leeTodo();
        r = lista_->busca(clave, queValor);
    }
    return r < 0 ? 0 : r + 1;
}

int Lib_FrmCons3::IndiceColumna(const QString& columna) const {
    const QStringList& c = lista_->columnas();
    for (int i = 0; i < c.size(); ++i)
        if (c[i].trimmed().compare(columna.trimmed(), Qt::CaseInsensitive) == 0) return i + 1;
    return 0;
}

void Lib_FrmCons3::busquedaLocal(int k) {
    const int pos = Busqueda(k, cajas_[static_cast<std::size_t>(k)]->currentText().trimmed());
    if (pos <= 0) return;
    eligeFila(pos - 1, k);
    ListView1->scrollTo(ListView1->currentIndex());
}

void Lib_FrmCons3::eligeFila(int fila, int caja) {
    const QModelIndex i = lista_->index(fila, 0);
    ListView1->setCurrentIndex(i);
    elegida_ = i;
    buscadaEn_ = caja;
}

void Lib_FrmCons3::alLlegarFilas() {
    // A row the user chose stays chosen; one the window chose follows its rule among the rows
    // that came in, as if they had all been there.
    if (!elegida_.isValid() || elegida_ != ListView1->currentIndex()) return;
    if (buscadaEn_ < 0) {
        if (elegida_.row() != 0) eligeFila(0, -1);
        return;
    }
    const int r = lista_->busca(
        buscadaEn_, cajas_[static_cast<std::size_t>(buscadaEn_)]->currentText().trimmed());
    if (r < 0 || r == elegida_.row()) return;
    eligeFila(r, buscadaEn_);
    ListView1->scrollTo(ListView1->currentIndex());
}

void Lib_FrmCons3::ordenaPor(int columna) {
    // One direction for the whole list: the first click after loading sorts descending.
    lectura_->leeTodo();
    columnaOrden_ = columna;
    orden_ = orden_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    // The chosen row stays chosen: the model moves it with its place.
    lista_->ordena(columnaOrden_, orden_);
    muestraOrden(true);
}

void Lib_FrmCons3::muestraOrden(bool ordenada) {
    QHeaderView* h = ListView1->horizontalHeader();
    h->setSortIndicatorShown(ordenada);
    if (ordenada) h->setSortIndicator(columnaOrden_, orden_);
}

QString Lib_FrmCons3::valorEn(int fila, int columna) const {
    return lista_->celda(fila, columna - 1);
}

void Lib_FrmCons3::Aceptar() {
    if (CheckBoxes) {
        if (CampoDevuelto.isEmpty()) CampoDevuelto = lista_->columnas().value(0);
        const int c = IndiceColumna(CampoDevuelto);
        lectura_->leeTodo();
        QStringList v;
        for (int r = 0; r < lista_->rowCount(); ++r)
            if (lista_->marcada(r)) v << valorEn(r, c);
        Valores = v;
        hide();
        accept();
        return;
    }
    const QModelIndex actual = ListView1->currentIndex();
    if (actual.isValid()) {
        const int r = actual.row();
        QStringList v = Valores.value_or(QStringList());
        QString anterior;
        for (const QString& titulo : CmpsDevueltos.value_or(QStringList())) {
            const int c = IndiceColumna(titulo);
            // A caption that names no column repeats the value before it.
            if (c > 0) anterior = valorEn(r, c);
            v << anterior;
        }
        Valores = v;
        if (!CampoDevuelto.isEmpty()) {
            const int c = IndiceColumna(CampoDevuelto);
            ValorDevuelto = platform::Variant(c > 0 ? valorEn(r, c) : QString());
        } else {
            ValorDevuelto = platform::Variant(v.isEmpty() ? QString() : v.last());
        }
    }
    hide();
    accept();
}

void Lib_FrmCons3::Cancelar() {
    ValorDevuelto = platform::Variant(QString());
    CmpsDevueltos.reset();
    Valores.reset();
    hide();
    reject();
}

void Lib_FrmCons3::MuestraOpciones(const QString& titulo, const QStringList& textos,
                                   const std::vector<bool>& marcadas) {
    setWindowTitle(titulo);
    OrdenarPorLwv = true;
    SQL.clear();
    gConnString.clear();
    CampoDevuelto = titulo;
    lectura_->suelta();
    lista_->setCasillas(CheckBoxes);
    lista_->setColumnas({titulo});
    for (qsizetype i = 0; i < textos.size(); ++i) {
        ListaConsulta::Fila f;
        f.celdas << textos[i];
        f.marcada = static_cast<std::size_t>(i) < marcadas.size() && marcadas[i];
        lista_->agrega(std::move(f));
    }
    for (std::size_t k = 1; k < cajas_.size(); ++k) cajas_[k]->setVisible(false);
    CmdNueva->hide();
    ajustaAnchoMinimo();
    // As wide as the longest text (120 twips, 8 pixels, a letter), within the screen.
    qsizetype m = titulo.size();
    for (const QString& t : textos) m = std::max(m, t.size());
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int pantalla = s ? s->availableGeometry().width() : 1024;
    const int ancho = static_cast<int>(m) * 8;
    resize(ancho < pantalla ? std::max(ancho, 240) : pantalla, height());
    ListView1->setColumnWidth(0, std::max(ListView1->viewport()->width(), ancho));
    alineaCajas();
}

void Lib_FrmCons3::nuevaBusquedaEn(int k) {
    QComboBox* caja = cajas_[static_cast<std::size_t>(k)];
    const NuevaBusqueda n = nuevaBusqueda(SQL, sentenciaBase_, caja->property("Tag").toString(),
                                          caja->currentText(), CfgUsaConsultaLIKE);
    SQL = n.sql;
    {
        const QSignalBlocker quieto(caja);
        caja->setEditText(QString());
    }
    Carga();
}

void Lib_FrmCons3::empiezaDeNuevo() {
    SQL = sentenciaInicial_;
    Carga();
    cajas_[0]->setFocus();
}

void Lib_FrmCons3::nuevoRegistro() {
    // One program of the suite for each kind of table; the parameter tells it which.
    const QString t = tabla_.trimmed();
    auto es = [&](const char* n) { return t.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
    QString programa = QStringLiteral("TablasGenerales.exe"), parametro = t;
    if (es("VT_CLIENTES") || es("VT_PROVEEDORES")) {
        programa = QStringLiteral("ClientesProveedores.exe");
        parametro = es("VT_CLIENTES") ? QStringLiteral("1") : QStringLiteral("0");
    } else if (es("V_TA_Tecnicos")) {
        programa = QStringLiteral("Tecnicos.exe");
        parametro.clear();
    } else if (es("V_TA_VENDEDORES")) {
        programa = QStringLiteral("Vendedores.exe");
        parametro.clear();
    } else if (es("V_MA_ARTICULOS") || es("VT_MA_ARTICULOS")) {
        programa = QStringLiteral("Articulos.exe");
        parametro.clear();
    }
    if (serviciosConsulta().lanza)
        serviciosConsulta().lanza(QStringLiteral("SHELL:") + programa, parametro);
}

void Lib_FrmCons3::informaFaltante() {
    if (!articulos_) return;
    const QModelIndex actual = ListView1->currentIndex();
    // Nothing chosen, nothing to report.
    if (!actual.isValid()) return;
    const int r = actual.row();
    const int ci = IndiceColumna(QStringLiteral("idarticulo"));
    const int cd = IndiceColumna(QStringLiteral("Descripcion"));
    const QString codigo = ci > 0 ? valorEn(r, ci).trimmed() : QString();
    const QString descripcion = cd > 0 ? valorEn(r, cd).trimmed() : QString();
    if (platform::msgBox(QStringLiteral("Desea informar el articulo ") + codigo + QLatin1Char(' ') +
                             descripcion + QStringLiteral("\r\ncomo un faltante de stock?"),
                         platform::mb::YesNo | platform::mb::Question,
                         QStringLiteral("Atención!")) != platform::mb::Yes)
        return;
    const auto& t = SuiteLib::tools();
    // The code, the description and the user are values: their quotes are doubled.
    QString sql = QStringLiteral(
                      "INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,"
                      "Usuario) values('") +
                  platform::Regional::current().formatDate(QDateTime::currentDateTime()) +
                  QStringLiteral("','") + t.SqlSafeText(t.PadCode(codigo, 25)) +
                  QStringLiteral("','") + t.SqlSafeText(descripcion) + QStringLiteral("','") +
                  t.SqlSafeText(gDB().gUsuario) + QStringLiteral("')");
    // No read stays open across the write: the database file is shared with other programs,
    // whose writes wait for it. Every row is read first, which closes the cursor.
    lectura_->leeTodo();
    lectura_->suelta();
    qint32 filas = 0;
    gDB().EjecutaConsultaSQL(sql, filas, nullptr);
}

void Lib_FrmCons3::cantidad(int tecla, bool mayusculas) {
    const QModelIndex actual = ListView1->currentIndex();
    const int c = IndiceColumna(QStringLiteral("**Cantidad**"));
    if (!actual.isValid() || c <= 0) return;
    const int r = actual.row();
    const double n = platform::leadingNumber(valorEn(r, c));
    auto pon = [&](const QString& texto, std::optional<bool> marca) {
        lista_->ponCelda(r, c - 1, texto);
        if (marca)
            lista_->setData(lista_->index(r, 0), *marca ? Qt::Checked : Qt::Unchecked,
                            Qt::CheckStateRole);
    };
    auto formato = [](double v, int decimales) { return QString::number(v, 'f', decimales); };
    if (tecla == Qt::Key_Insert && mayusculas) {
        const auto respuesta =
            platform::inputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                               QStringLiteral("Carga de Datos"), valorEn(r, c));
        const double v = respuesta ? platform::leadingNumber(*respuesta) : 0;
        pon(v == 0 ? QStringLiteral("0.######") : formato(v, 2), true);
    } else if (tecla == Qt::Key_Insert) {
        pon(formato(n + 1, 1), true);
    } else if (n - 1 <= 0) {
        pon(QStringLiteral("0.00"), false);
    } else {
        pon(formato(n - 1, 1), std::nullopt);
    }
}

void Lib_FrmCons3::marcaTodos() {
    lectura_->leeTodo();
    lista_->invierteMarcas();
}

namespace {

QString archivoAnchos(const char* nombre) {
    return SuiteLib::tools().FolderPath(platform::process::programFolder()) +
           QString::fromLatin1(nombre);
}

// The widths file's text; none when it cannot be read (missing, not a regular file, too large).
std::optional<QByteArray> leeAnchos(const QString& archivo) {
    try {
        return platform::archivo::lee(archivo, platform::limite::kAjustes);
    } catch (const platform::Failure&) {
        // Widths are a convenience: without them the columns keep the widths they were given.
        return std::nullopt;
    }
}

}  // namespace

void Lib_FrmCons3::aplicaAnchos() {
    const auto contenido = leeAnchos(archivoAnchos("CONSULTASLEN.VLN"));
    if (!contenido) return;
    const QString clave =
        tabla_.compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0
            ? QStringLiteral("VT_MA_ARTICULOS")
            : tabla_;
    const auto anchos = anchosconsulta::lee(*contenido, clave, lista_->columnCount());
    for (std::size_t i = 0; i < anchos.size(); ++i)
        ListView1->setColumnWidth(static_cast<int>(i), anchosconsulta::pixeles(anchos[i]));
    alineaCajas();
}

void Lib_FrmCons3::guardaAnchos() {
    // The new content goes to the .AUX file and replaces the old one by one rename: a failure
    // leaves the old file as it was.
    const QString vln = archivoAnchos("CONSULTASLEN.VLN");
    const QString aux = archivoAnchos("CONSULTASLEN.AUX");
    // A width file that is not a regular file (a device, a pipe) is neither read nor replaced.
    if (platform::porQueNoSeEscribe(vln) || platform::porQueNoSeEscribe(aux)) return;
    QByteArray viejo;
    // A file there that cannot be read is left as it is: replacing it would lose the widths of
    // every other table it holds.
    if (platform::archivo::clase(vln) != platform::ClaseDeArchivo::Ninguna) {
        const auto contenido = leeAnchos(vln);
        if (!contenido) return;
        viejo = *contenido;
    }
    std::vector<int> twips;
    for (int i = 0; i < lista_->columnCount(); ++i)
        twips.push_back(ListView1->columnWidth(i) * anchosconsulta::kTwipsPorPixel);
    const QByteArray bytes = anchosconsulta::reemplaza(viejo, tabla_, twips);
    QFile nuevo;
    platform::Steps::skipping()
        .then([&] {
            platform::archivo::abre(nuevo, aux, platform::archivo::Uso::Escribir,
                                    platform::limite::kNinguno);
        })
        .run();
    // A .AUX that cannot be written (a folder, a FIFO) leaves the widths file as it was.
    if (!nuevo.isOpen()) return;
    const bool escrito = nuevo.write(bytes) == bytes.size() && nuevo.flush();
    nuevo.close();
    if (!escrito || !platform::escritura::reemplaza(aux, vln)) QFile::remove(aux);
}

void Lib_FrmCons3::hideEvent(QHideEvent* event) {
    // A hidden window reads nothing more; its rows are read by the caller as they are.
    lectura_->suelta();
    if (GrabarCfg && !SQL.trimmed().isEmpty()) guardaAnchos();
    QDialog::hideEvent(event);
}

void Lib_FrmCons3::DesmarcaTodo() {
    lista_->desmarcaTodas();
}

bool Lib_FrmCons3::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ListView1) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Aceptar();
                return true;
            }
            if (key->key() == Qt::Key_Space && CheckBoxes) return false;
            if (UsaCantidades && (key->key() == Qt::Key_Insert || key->key() == Qt::Key_Delete)) {
                cantidad(key->key(), key->modifiers() & Qt::ShiftModifier);
                return true;
            }
            // A typed character goes on in the search box that had the focus last.
            const QString t = key->text();
            if (!t.isEmpty() && t.at(0).isPrint()) {
                QComboBox* caja = cajas_[static_cast<std::size_t>(ultimaCaja_)];
                caja->setFocus();
                caja->setEditText(caja->currentText() + t);
                return true;
            }
            return false;
        }
        for (std::size_t k = 0; k < cajas_.size(); ++k) {
            if (watched != cajas_[k] && watched != cajas_[k]->lineEdit()) continue;
            switch (key->key()) {
                case Qt::Key_Down:
                case Qt::Key_Up:
                case Qt::Key_PageDown:
                case Qt::Key_PageUp:
                    ListView1->setFocus();
                    return true;
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    Aceptar();
                    return true;
                case Qt::Key_F5:
                    nuevaBusquedaEn(static_cast<int>(k));
                    return true;
                case Qt::Key_Escape:
                    Cancelar();
                    return true;
                default:
                    return false;
            }
        }
    } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (std::size_t k = 0; k < cajas_.size(); ++k) {
            if (watched != cajas_[k] && watched != cajas_[k]->lineEdit()) continue;
            const bool dentro = cajas_[k]->hasFocus() || cajas_[k]->lineEdit()->hasFocus();
            if (dentro) ultimaCaja_ = static_cast<int>(k);
            cajas_[k]->setStyleSheet(
                dentro ? QStringLiteral("QComboBox { background-color: #00FFFF; }") : QString());
        }
    }
    return QDialog::eventFilter(watched, event);
}
