#pragma once

// The program-wide values: written at start-up (and by the configuration), read everywhere.

#include <QString>
#include <QStringList>
#include <vector>

#include "data/db_dll/DB_Dll.h"

// ---- start-up ----
inline QString gPcUsuario;  // COMPUTER|USER, at most 50 characters
inline double gFlatToolbars = 1;
inline QString gParametroAdicional;
inline QString gMenu;
inline QString gUsuarioLogeado;
inline QString gCaja = QStringLiteral("1");
inline QString gCadenaODBC;
inline qint16 gTimeOut = 360;
inline QString gArchivoAyuda;  // the help file of the F1 key

// The connection to the statistics database, created on first use.
DB_Dll& gDBEstadisticas();
void resetEstadisticas();

// ---- SQL text helpers ----
struct CampoValor {
    QString campo;
    QString valor;
};
inline std::vector<CampoValor> gCampos;
inline QStringList gSentencias;

// ---- configuration ----
inline QString gTablaConfiguracion;
inline bool gMostrarStockenConsultas = false;
inline QString gTituloClientes;
inline QString gTituloProveedores;
inline QString gArchivoDocTareas;
inline bool gExigeClaveConsultaLikeArticulos = false;
inline bool gUsaConsultaLike = false;
inline QString gCantidadDecimales;
inline bool gUsaMultiplesMonedas = false;
inline bool gUsaFacturaProforma = false;
inline bool gUsaCCosto = false;
inline bool gUsaStkStockUdKg = false;
inline QString gUNegocio;
inline QString gUnidadMedidaM3;
inline QString gUnidadMedidaBL;
inline QString gUnidadMedidaKG;
inline qint16 gPeriodo = 0;
inline bool gRazonSocialPorUneg = false;
inline bool gValidaCodigoBarra = false;
inline qint32 gColorFondo = 0;
inline qint32 gColorLetra = 0;
inline bool gModuloOrdenDeTrabajo = false;
inline bool gVModificaCPrecio = false;
inline bool gCModificaCPrecio = false;
inline bool gMaderera = false;
inline QString gMadTiras, gMadP2, gMadML, gMadM2, gMadHojas, gMadMLP2, gMadM2P2, gMadMLM2;
inline QString gCuentaCtroDist;
inline double gMaxDto = 0;
inline double gMaxDtoProforma = 0;
inline bool gPideClaveStockNeg = false;
inline bool gPideClaveMarkUpBase = false;
inline bool gPideClaveLimiteCredito = false;
inline bool gSSBloqueoActivo = false;
inline bool gUtilizarFechaDia = false;
inline bool gAsignacionAutomaticaDeLoteING = false;
inline bool gAsignacionAutomaticaDeLoteINGOP = false;
inline qint16 gCondIvaEmpresa = 1;
inline QString gTopDefault = QStringLiteral("1000");
