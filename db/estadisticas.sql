-- Statistics database VL_ESTADISTICAS, in the SQL Server dialect (see schema.sql).
--
-- It holds the settings shared by the programs of the suite, in the same layout as the
-- configuration table of the main database. It starts empty: the program writes the rows it
-- misses (the command time-out "TIMEOUT" among them) on its first start.

CREATE TABLE TA_CONFIGURACION (
    CLAVE           VARCHAR(50)  NOT NULL PRIMARY KEY,
    VALOR           VARCHAR(255),
    ValorAux        VARCHAR(255),
    Grupo           VARCHAR(50),
    PoliticaNegocio BIT DEFAULT 0,
    Descripcion     VARCHAR(255)
);
