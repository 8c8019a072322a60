#include "lookup/Lib_FrmCons3Tree.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "data/db_dll/DB_Dll.h"
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

// Every node in tree order.
void recorre(QTreeWidgetItem* item, const std::function<void(QTreeWidgetItem*)>& f) {
    f(item);
    for (int i = 0; i < item->childCount(); ++i) recorre(item->child(i), f);
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

void Lib_FrmCons3Tree::arma(bool familias) {
    const QSignalBlocker quieto(TreeV);
    TreeV->clear();
    nodos_.clear();
    auto* raiz = new QTreeWidgetItem(TreeV, {QStringLiteral("Consulta...")});
    raiz->setData(0, Qt::UserRole, QStringLiteral("A"));
    if (CheckBoxes) raiz->setCheckState(0, Qt::Unchecked);
    nodos_[QStringLiteral("A")] = raiz;
    raiz->setExpanded(true);

    DB_Dll& db = gDB();
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::trapping([this](const platform::ErrorInfo& e) {
        return reportaCarga(e, SQL, QStringLiteral("ArmarTreeVAutomatico"));
    });
    struct Fila {
        QString codigo, descripcion;
        std::optional<QString> padre;
    };
    std::vector<Fila> filas;
    steps
        .then([&] {
            QString sql = SQL;
            db.AbrirLectura(sql, rs, &db.gCnn);
        })
        .then([&] {
            for (; rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
                Fila f;
                f.codigo = rs->field(0).value().textOr(QString());
                f.descripcion =
                    rs->fieldCount() > 1 ? rs->field(1).value().textOr(QString()) : QString();
                if (familias && rs->fieldCount() > 2 && !rs->field(2).value().isNull())
                    f.padre = rs->field(2).value().toText();
                filas.push_back(std::move(f));
            }
        })
        .then([&] { db.CierraRecordset(rs); });
    steps.run();

    for (const Fila& f : filas) {
        const QString clave = QStringLiteral("A") + f.codigo;
        auto pasoFallido = [&](const QString& por) {
            reporta({platform::errnum::InvalidArgument, por, {}},
                    QStringLiteral("ArmarTreeVAutomatico"));
        };
        if (nodos_.count(clave)) {
            pasoFallido(QStringLiteral("La clave %1 ya existe").arg(f.codigo));
            continue;
        }
        QTreeWidgetItem* padre = raiz;
        if (familias) {
            if (f.padre) padre = nodo(QStringLiteral("A") + *f.padre);
            if (!padre) {
                pasoFallido(QStringLiteral("No existe la familia %1").arg(*f.padre));
                continue;
            }
        } else {
            // The longest key that starts the new one; the root always does.
            qsizetype mejor = 1;
            for (const auto& [k, item] : nodos_) {
                if (k.size() > mejor && k.size() <= clave.size() &&
                    clave.left(k.size()).compare(k, Qt::CaseInsensitive) == 0) {
                    mejor = k.size();
                    padre = item;
                }
            }
        }
        auto* item = new QTreeWidgetItem(padre, {f.codigo + QStringLiteral(" - ") + f.descripcion});
        item->setData(0, Qt::UserRole, clave);
        if (CheckBoxes) item->setCheckState(0, Qt::Unchecked);
        nodos_[clave] = item;
    }
}

void Lib_FrmCons3Tree::busca() {
    const QString texto = CmbSearch->currentText().trimmed();
    QTreeWidgetItem* hallado = nullptr;
    for (int i = 0; i < TreeV->topLevelItemCount() && !hallado; ++i) {
        recorre(TreeV->topLevelItem(i), [&](QTreeWidgetItem* item) {
            if (hallado) return;
            const QString t = item->text(0);
            const qsizetype guion = t.indexOf(QLatin1Char('-'));
            const QString codigo = guion < 0 ? QString() : t.left(guion).trimmed();
            const QString descripcion = (guion < 0 ? t : t.mid(guion + 1)).trimmed();
            if (codigo.startsWith(texto, Qt::CaseInsensitive) ||
                descripcion.startsWith(texto, Qt::CaseInsensitive))
                hallado = item;
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
    // Down to the sixth generation below the node.
    std::function<void(QTreeWidgetItem*, int)> baja = [&](QTreeWidgetItem* padre, int generacion) {
        if (generacion > 6) return;
        for (int i = 0; i < padre->childCount(); ++i) {
            padre->child(i)->setCheckState(0, padre->checkState(0));
            baja(padre->child(i), generacion + 1);
        }
    };
    baja(item, 1);
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
            recorre(TreeV->topLevelItem(0), [&](QTreeWidgetItem* item) {
                if (item->checkState(0) != Qt::Checked || item == TreeV->topLevelItem(0)) return;
                const QString codigo = codigoDe(item);
                if (es("IDFAMILIA") || es("CODIGO")) {
                    v << codigo.trimmed();
                } else if (es("IDPOSICION")) {
                    const QString valor = buscaEn(QStringLiteral("MA_POSICIONES"),
                                                  QStringLiteral("IDPOSICION"), codigo);
                    if (!valor.isEmpty()) v << valor;
                }
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
