#pragma once

#include <QString>

// What the main window (or the batch run) hands to a report run: the controls as they stand.
struct ParametrosCronograma {
    int tipo = 0;  // position of the report type list
    QString fechaD;
    QString fechaH;
    int periodicidad = 0;
    QString periodicidadTexto = QStringLiteral("Diario");
    QString tecnicoD;
    QString tecnicoH;
    bool codigo = false;
    bool descripcion = false;
    bool cliente = false;
    bool ubicacion = false;
    bool tecnico = false;

    bool hayCamposChecked() const {
        return codigo || descripcion || cliente || ubicacion || tecnico;
    }
};

// The periodicities and report types as the main window lists them.
inline const char* const kPeriodicidades[] = {"Diario",     "Semanal",   "Quicenal", "Mensual",
                                              "Trimestral", "Semestral", "Anual"};
inline const char* const kTiposReporte[] = {"Cronograma de Mantenimientos",
                                            "Cronograma de Mnatenimientos con Observaciones",
                                            "Inventario de Mantenimientos", "Equipos en garantia"};
