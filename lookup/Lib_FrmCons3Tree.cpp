#include "lookup/Lib_FrmCons3Tree.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringBuilder>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "data/db_dll/DB_Dll.h"
#include "lookup/ArbolCodigos.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/Failure.h"
#include "suitelib/SuiteLib.h"

namespace {

const QString kFamilias = QStringLiteral(
    "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM "
    "@Admin_v_ta_familias a   Where a.IdFamilia < b.IdFamilia And "
    "(Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia "
    "DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia");

QString codigoDe(const QTreeWidgetItem* item) {
    return item->data(0, Qt::UserRole).toString().mid(1);
}

// The first node from `desde` on, in tree order, for which `f` holds; nullptr when none. A loop and
// not a recursion: a chain of codes is as deep as its longest code is long.
template <class F>
QTreeWidgetItem* primero(QTreeWidgetItem* desde, F&& f) {
    std::vector<QTreeWidgetItem*> pendientes{desde};
    while (!pendientes.empty()) {
        QTreeWidgetItem* item = pendientes.back();
        pendientes.pop_back();
        if (f(item)) return item;
        for (int i = item->childCount() - 1; i >= 0; --i) pendientes.push_back(item->child(i));
    }
    return nullptr;
}

int reporta(const platform::ErrorInfo& e, const QString& rutina) {
    const auto& r = serviciosConsulta().reporta;
    return r ? r(e, rutina) : 0;
}

}  // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Lib_FrmCons3Tree"));
    setWindowTitle(QStringLiteral("Consulta..."));
    auto* layout = new QVBoxLayout(this);
    CmbSearch = new QComboBox(this);
    CmbSearch->setEditable(true);
    CmbSearch->setInsertPolicy(QComboBox::NoInsert);
    CmbSearch->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    // Keys reach the box itself first (it has the focus) and its line only through it.
    CmbSearch->installEventFilter(this);
    CmbSearch->lineEdit()->installEventFilter(this);
    layout->addWidget(CmbSearch);
    TreeV = new QTreeWidget(this);
    TreeV->setHeaderHidden(true);
    TreeV->setRootIsDecorated(true);
    // Every row is one line of the same font: the view need not measure 100,000 rows to place one.
    TreeV->setUniformRowHeights(true);
    layout->addWidget(TreeV, 1);
    auto* botones = new QHBoxLayout;
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), this);
    CmdAceptar->setDefault(true);
    botones->addWidget(CmdAceptar);
    botones->addWidget(CmdCancelar);
    botones->addStretch(1);
    botones->addWidget(CmdNueva);
    layout->addLayout(botones);
    connect(CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::Aceptar);
    connect(CmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::Cancelar);
    connect(CmdNueva, &QPushButton::clicked, this, [this] {
        SQL.contains(QLatin1String("v_ta_familias"), Qt::CaseInsensitive) ? ArmarTreeVFamilias()
                                                                          : ArmarTreeVAutomatico();
    });
    connect(TreeV, &QTreeWidget::itemDoubleClicked, this, [this] { Aceptar(); });
    connect(TreeV, &QTreeWidget::itemChanged, this, &Lib_FrmCons3Tree::propaga);
    connect(CmbSearch, &QComboBox::editTextChanged, this, &Lib_FrmCons3Tree::busca);
    resize(480, 520);
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() {
    desarma();
}

void Lib_FrmCons3Tree::Carga() {
    Valores = QStringList();
    if (sentenciaBase_.isEmpty()) sentenciaBase_ = SQL;
    SQL.contains(QLatin1String("v_ta_familias"), Qt::CaseInsensitive) ? ArmarTreeVFamilias()
                                                                      : ArmarTreeVAutomatico();
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias() {
    SQL = kFamilias;
    arma(true);
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico() {
    arma(false);
}

QTreeWidgetItem* Lib_FrmCons3Tree::nodo(const QString& clave) const {
    const auto it = nodos_.find(clave);
    return it == nodos_.end() ? nullptr : it->second;
}

void Lib_FrmCons3Tree::desarma() {
    nodos_.clear();
    std::vector<QTreeWidgetItem*> items;
    while (TreeV->topLevelItemCount() > 0)
        items.push_back(TreeV->takeTopLevelItem(TreeV->topLevelItemCount() - 1));
    const size_t arriba = items.size();
    for (size_t i = 0; i < items.size(); ++i)
        for (int c = 0; c < items[i]->childCount(); ++c) items.push_back(items[i]->child(c));
    // An item deletes its children recursively, and a child deleted alone looks itself up among its
    // siblings: from the deepest up, every parent gives its already childless children away.
    for (size_t i = items.size(); i-- > 0;) qDeleteAll(items[i]->takeChildren());
    for (size_t i = 0; i < arriba; ++i) delete items[i];
    TreeV->clear();
}

void Lib_FrmCons3Tree::arma(bool familias) {
    const QSignalBlocker quieto(TreeV);
    desarma();
    // The tree is built away from the view, which takes it whole at the end: an item added under
    // one in the view is a model insertion of its own.
    auto* raiz = new QTreeWidgetItem(QStringList{QStringLiteral("Consulta...")});
    raiz->setData(0, Qt::UserRole, QStringLiteral("A"));
    if (CheckBoxes) raiz->setCheckState(0, Qt::Unchecked);
    nodos_[QStringLiteral("A")] = raiz;

    DB_Dll& db = gDB();
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::trapping([this](const platform::ErrorInfo& e) {
        return reportaCarga(e, SQL, QStringLiteral("ArmarTreeVAutomatico"));
    });
    std::vector<QString> codigos, descripciones;
    std::vector<std::optional<QString>> padresLeidos;
    steps
        .then([&] {
            QString sql = SQL;
            db.AbrirLectura(sql, rs, &db.gCnn);
        })
        .then([&] {
            for (; rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
                codigos.push_back(rs->field(0).value().textOr(QString()));
                descripciones.push_back(
                    rs->fieldCount() > 1 ? rs->field(1).value().textOr(QString()) : QString());
                std::optional<QString> padre;
                if (familias && rs->fieldCount() > 2 && !rs->field(2).value().isNull())
                    padre = rs->field(2).value().toText();
                padresLeidos.push_back(std::move(padre));
            }
        })
        .then([&] { db.CierraRecordset(rs); });
    steps.run();

    const std::vector<int> padres =
        familias ? std::vector<int>() : arbol::padresPorPrefijo(codigos);
    std::vector<QTreeWidgetItem*> items(codigos.size(), nullptr);
    nodos_.reserve(codigos.size() + 1);
    for (size_t i = 0; i < codigos.size(); ++i) {
        const QString& codigo = codigos[i];
        const QString clave = QStringLiteral("A") + codigo;
        auto pasoFallido = [&](const QString& por) {
            reporta({platform::errnum::InvalidArgument, por, {}},
                    QStringLiteral("ArmarTreeVAutomatico"));
        };
        const bool repetida = familias ? nodos_.count(clave) > 0 : padres[i] == arbol::kRepetido;
        if (repetida) {
            pasoFallido(QStringLiteral("La clave %1 ya existe").arg(codigo));
            continue;
        }
        QTreeWidgetItem* padre = raiz;
        if (familias) {
            if (padresLeidos[i]) padre = nodo(QStringLiteral("A") + *padresLeidos[i]);
            if (!padre) {
                pasoFallido(QStringLiteral("No existe la familia %1").arg(*padresLeidos[i]));
                continue;
            }
        } else if (padres[i] != arbol::kRaiz) {
            padre = items[static_cast<size_t>(padres[i])];
        }
        auto* item =
            new QTreeWidgetItem(padre, {QString(codigo % QLatin1String(" - ") % descripciones[i])});
        item->setData(0, Qt::UserRole, clave);
        if (CheckBoxes) item->setCheckState(0, Qt::Unchecked);
        nodos_[clave] = item;
        items[i] = item;
        // The item holds its own copies: long codes freed as they go leave room for the next.
        codigos[i] = QString();
        descripciones[i] = QString();
    }
    TreeV->addTopLevelItem(raiz);
    raiz->setExpanded(true);
}

void Lib_FrmCons3Tree::busca() {
    const QString texto = CmbSearch->currentText().trimmed();
    QTreeWidgetItem* hallado = nullptr;
    for (int i = 0; i < TreeV->topLevelItemCount() && !hallado; ++i) {
        hallado = primero(TreeV->topLevelItem(i), [&](const QTreeWidgetItem* item) {
            const QString t = item->text(0);
            const qsizetype guion = t.indexOf(QLatin1Char('-'));
            const QString codigo = guion < 0 ? QString() : t.left(guion).trimmed();
            const QString descripcion = (guion < 0 ? t : t.mid(guion + 1)).trimmed();
            return codigo.startsWith(texto, Qt::CaseInsensitive) ||
                   descripcion.startsWith(texto, Qt::CaseInsensitive);
        });
    }
    if (!hallado) return;
    TreeV->setCurrentItem(hallado);
    TreeV->scrollToItem(hallado);
}

void Lib_FrmCons3Tree::nuevaBusqueda() {
    CmbSearch->setProperty("Tag", QStringLiteral("Descripcion"));
    QString cola;
    const qsizetype orden = SQL.indexOf(QLatin1String("order by"), 0, Qt::CaseInsensitive);
    if (SQL.contains(QLatin1String("order"), Qt::CaseInsensitive) && orden >= 0) {
        cola = SQL.mid(orden);
        sentenciaBase_ = SQL.left(orden);
    } else {
        sentenciaBase_ = SQL;
    }
    const QString union_ = SQL.contains(QLatin1String("where"), Qt::CaseInsensitive)
                               ? QStringLiteral(" and ")
                               : QStringLiteral(" where ");
    // The typed text is a value: its quotes are doubled.
    SQL = sentenciaBase_ + union_ + QStringLiteral("Descripcion like '%") +
          SuiteLib::tools().SqlSafeText(CmbSearch->currentText()) + QStringLiteral("%' ") + cola;
    {
        const QSignalBlocker quieto(CmbSearch);
        CmbSearch->setEditText(QString());
    }
    sentenciaBase_ = SQL;
    Carga();
}

void Lib_FrmCons3Tree::propaga(QTreeWidgetItem* item) {
    if (propagando_ || !CheckBoxes) return;
    propagando_ = true;
    // Down to the sixth generation below the node, in tree order.
    std::vector<std::pair<QTreeWidgetItem*, int>> pendientes;
    const auto hijosDe = [&](QTreeWidgetItem* padre, int generacion) {
        for (int i = padre->childCount() - 1; i >= 0; --i)
            pendientes.emplace_back(padre->child(i), generacion);
    };
    hijosDe(item, 1);
    while (!pendientes.empty()) {
        const auto [hijo, generacion] = pendientes.back();
        pendientes.pop_back();
        hijo->setCheckState(0, hijo->parent()->checkState(0));
        if (generacion < 6) hijosDe(hijo, generacion + 1);
    }
    propagando_ = false;
}

QString Lib_FrmCons3Tree::buscaEn(const QString& tabla, const QString& columna,
                                  const QString& codigo) const {
    DB_Dll::Recordset rs = std::make_shared<ado::Recordset>();
    if (!gDB().ExisteEnTabla(tabla, codigo, columna, &rs, platform::Variant(8), QString(), true))
        return {};
    const QString valor = SuiteLib::tools().NoNull(rs->field(CampoDevuelto).value()).toText();
    gDB().CierraRecordset(rs);
    return valor;
}

void Lib_FrmCons3Tree::Aceptar() {
    auto steps = platform::Steps::trapping(
        [](const platform::ErrorInfo& e) { return reporta(e, QStringLiteral("CmdAceptar")); });
    auto es = [&](const char* c) {
        return CampoDevuelto.compare(QLatin1String(c), Qt::CaseInsensitive) == 0;
    };
    steps.then([&] {
        if (CheckBoxes) {
            QStringList v;
            primero(TreeV->topLevelItem(0), [&](const QTreeWidgetItem* item) {
                if (item->checkState(0) != Qt::Checked || item == TreeV->topLevelItem(0))
                    return false;
                const QString codigo = codigoDe(item);
                if (es("IDFAMILIA") || es("CODIGO")) {
                    v << codigo.trimmed();
                } else if (es("IDPOSICION")) {
                    const QString valor = buscaEn(QStringLiteral("MA_POSICIONES"),
                                                  QStringLiteral("IDPOSICION"), codigo);
                    if (!valor.isEmpty()) v << valor;
                }
                return false;
            });
            Valores = v;
            return;
        }
        QTreeWidgetItem* item = TreeV->currentItem();
        if (!item) return;
        const QString codigo = codigoDe(item);
        if (es("IDFAMILIA")) {
            ValorDevuelto = platform::Variant(buscaEn(QStringLiteral("@admin_V_TA_FAMILIAS"),
                                                      QStringLiteral("IDFAMILIA"), codigo));
        } else if (es("IDPOSICION")) {
            ValorDevuelto = platform::Variant(
                buscaEn(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"), codigo));
        } else if (es("CODIGO")) {
            QString valor = buscaEn(QStringLiteral("TA_CCOSTO"), QStringLiteral("CODIGO"), codigo);
            if (valor.isEmpty())
                valor = buscaEn(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"), codigo);
            ValorDevuelto = platform::Variant(valor);
        }
    });
    steps.run();
    hide();
    accept();
}

void Lib_FrmCons3Tree::Cancelar() {
    ValorDevuelto = platform::Variant(QString());
    CmpsDevueltos.reset();
    Valores.reset();
    hide();
    reject();
}

bool Lib_FrmCons3Tree::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == CmbSearch || watched == CmbSearch->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_F5:
                nuevaBusqueda();
                return true;
            case Qt::Key_Down:
            case Qt::Key_Up:
            case Qt::Key_PageDown:
            case Qt::Key_PageUp:
                TreeV->setFocus();
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
