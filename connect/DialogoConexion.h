#pragma once

// Makes the connection dialog the data-access object's way to ask for a connection: frmAcceso
// shown modally when there is a display; without one, a message on standard error naming the
// parameters that are missing, and no connection (the start-up then ends the program).
void InstalaDialogoConexion(bool conPantalla);
