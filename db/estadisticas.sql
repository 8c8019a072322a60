-- Statistics database VL_ESTADISTICAS (embedded SQLite).
--
-- It holds the settings shared by the programs of the suite, in the same layout as the
-- configuration table of the main database. It starts empty: the program writes the rows it
-- misses (the command time-out "TIMEOUT" among them) on its first start.
-- CI is the collation registered by the creation tool: case-insensitive, trailing blanks ignored.

CREATE TABLE TA_CONFIGURACION (
    CLAVE           VARCHAR(50)  COLLATE CI NOT NULL PRIMARY KEY,
    VALOR           VARCHAR(255) COLLATE CI,
    ValorAux        VARCHAR(255) COLLATE CI,
    Grupo           VARCHAR(50)  COLLATE CI,
    PoliticaNegocio BIT DEFAULT 0,
    Descripcion     VARCHAR(255) COLLATE CI
);
