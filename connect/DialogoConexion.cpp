#include "connect/DialogoConexion.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <cstdio>

#include "connect/frmAcceso.h"
#include "data/db_dll/DB_Dll.h"

namespace {

DB_Dll::DatosConexion muestra(const DB_Dll::DatosConexion& inicial) {
    frmAcceso w;
    auto ponCampos = [&] {
        w.TxtDbName->setText(inicial.TxtDbName);
        w.TxtServidor->setText(inicial.TxtServidor);
        w.TxtUserId->setText(inicial.TxtUserId);
        w.TxtUserPassword->setText(inicial.TxtUserPassword);
        w.CboPlataformaDB->setCurrentIndex(inicial.CboPlataformaDB);
    };
    ponCampos();
    w.Carga();
    // Asked again after a failed connection: the entry the user had chosen (its port among
    // others) and, over it, what they had typed; not the first entry of the list.
    if (!inicial.Entrada.isEmpty() && w.eligeEntrada(inicial.Entrada)) {
        ponCampos();
        for (QLineEdit* e : {w.TxtUserId, w.TxtUserPassword, w.TxtDbName, w.TxtServidor})
            w.MensajeInicial(e);
    }
    w.exec();
    DB_Dll::DatosConexion r;
    r.Aceptar = w.Aceptar;
    if (!r.Aceptar) return r;
    r.TxtDbName = w.TxtDbName->text();
    r.TxtServidor = w.servidorConPuerto();
    r.TxtUserId = w.TxtUserId->text();
    r.TxtUserPassword = w.TxtUserPassword->text();
    r.CboPlataformaDB = w.CboPlataformaDB->currentIndex();
    if (const QListWidgetItem* elegida = w.lstBases->currentItem()) r.Entrada = elegida->text();
    return r;
}

DB_Dll::DatosConexion sinPantalla(const DB_Dll::DatosConexion& inicial) {
    QStringList faltan;
    if (inicial.TxtServidor.trimmed().isEmpty()) faltan << QStringLiteral("@Server");
    if (inicial.TxtDbName.trimmed().isEmpty()) faltan << QStringLiteral("@DbName");
    if (inicial.TxtUserId.trimmed().isEmpty()) faltan << QStringLiteral("@Usuario");
    const QString texto =
        QStringLiteral(
            "Faltan datos de conexión en los parámetros (%1) y sin pantalla no se puede "
            "mostrar el diálogo de conexión. Indíquelos así: "
            "\"@Server=sqlite;@DbName=GESTION;@Usuario=demo;@Password=;@Caja=1;\".\n")
            .arg(faltan.isEmpty() ? QStringLiteral("@Server, @Usuario")
                                  : faltan.join(QStringLiteral(", ")));
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<std::size_t>(b.size()), stderr);
    return {};
}

}  // namespace

void InstalaDialogoConexion(bool conPantalla) {
    DB_Dll::setDialogoConexion(conPantalla ? &muestra : &sinPantalla);
}
