#pragma once

#include <QString>

class QStatusBar;
class QWidget;

// The suite's look on a form, applied right after the start-up in this order: AplicaSkin,
// CargaBarraEstado, AsignaIcono.

// Loads the style chosen for the user and database in "kv300mn.ini" (key "Styles" of section
// USER_DATABASEStyles, default 4) into the form's skin control "SkinFramework1" and applies it.
// Failures (no skin control, a missing style file) go to the caller.
void AplicaSkin(QWidget* form);

// Fills the panels of the status bar: the message every time; server, user, database, cash desk
// and version only while "SERVER" is still empty. Registers a cash desk that has no row yet.
// Panels are QLabel children named by their key; a missing one is skipped.
void CargaBarraEstado(QStatusBar* bar, const QString& mensaje);

// Gives the form the suite's icon and the toolbar style of gFlatToolbars ("StyleBar").
void AsignaIcono(QWidget* form);

// Puts the status bar panels of the suite on a new form: "MENSAJE" (stretching), "SERVER",
// "USUARIO", "BASEDEDATOS", "CAJA", "VERSION" and "FECHA" with today's date. A text too long for
// its panel is shown cut and never widens the window.
void ArmaBarraEstado(QStatusBar* bar);
