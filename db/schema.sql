-- Database of the suite as Cronequipo sees it (embedded SQLite).
--
-- Conventions of this file:
--   * CI is the collation registered by the creation tool and by the program: case-insensitive
--     and blind to trailing blanks, so that 'demo ' = 'DEMO' as on the server.
--   * Dates are ISO-8601 texts ('YYYY-MM-DD' or 'YYYY-MM-DD HH:MM:SS') in columns declared
--     DATETIME or DATE; the data layer recognises them as dates by that type name.
--   * Numeric codes are right-aligned with leading blanks at the width of their kind
--     (technicians, cash desks and business units 4, customers 6, articles 25), so that text
--     comparisons such as idtecnico >= '   7' follow the numeric order.
--   * Flags are BIT 0/1.
--   * Objects that are views on the server are plain tables here, filled by the demo data.
--     Only the restricted views (SS_ prefix) stay views, over the table they restrict.
--   * Every column the program writes, or that a new row may leave out, is nullable or has a
--     default.

------------------------------------------------------------------------------------------------
-- Configuration and users
------------------------------------------------------------------------------------------------

-- One row per setting; the key is unique whatever its case.
CREATE TABLE TA_CONFIGURACION (
    CLAVE           VARCHAR(50)  COLLATE CI NOT NULL PRIMARY KEY,
    VALOR           VARCHAR(255) COLLATE CI,
    ValorAux        VARCHAR(255) COLLATE CI,
    Grupo           VARCHAR(50)  COLLATE CI,
    PoliticaNegocio BIT DEFAULT 0,
    Descripcion     VARCHAR(255) COLLATE CI
);

-- Users of the suite; Administrador is read as a number: 1 lets a user read the real tables instead of the
-- restricted views.
CREATE TABLE TA_USUARIOS (
    Nombre          VARCHAR(50)  COLLATE CI NOT NULL PRIMARY KEY,
    NombreCompleto  VARCHAR(100) COLLATE CI,
    Administrador   SMALLINT NOT NULL DEFAULT 0,
    UNegocio        VARCHAR(4)   COLLATE CI DEFAULT '   1',
    verproforma     BIT NOT NULL DEFAULT 0
);

------------------------------------------------------------------------------------------------
-- Menu rights and access log
------------------------------------------------------------------------------------------------

-- Menu entries; Proceso names the program an entry starts.
CREATE TABLE TA_MENU (
    Clave           VARCHAR(10)  COLLATE CI NOT NULL PRIMARY KEY,
    Nombre          VARCHAR(100) COLLATE CI,
    Proceso         VARCHAR(255) COLLATE CI,
    Padre           VARCHAR(10)  COLLATE CI
);

-- Menu entries granted to each user.
CREATE TABLE TA_TAREAS (
    USUARIO         VARCHAR(50)  COLLATE CI NOT NULL,
    TAREA           VARCHAR(10)  COLLATE CI NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
);

-- One row per program start.
CREATE TABLE Control_Acceso (
    Id              INTEGER PRIMARY KEY AUTOINCREMENT,
    Maquina         VARCHAR(100) COLLATE CI,
    Usuario         VARCHAR(50)  COLLATE CI,
    Formulario      VARCHAR(50)  COLLATE CI,
    Tarea           VARCHAR(100) COLLATE CI,
    Ingreso         DATETIME,
    NombreUsuario   VARCHAR(50)  COLLATE CI
);

-- Statement scripts that failed; SQL keeps the whole script, however long.
CREATE TABLE AUX_ERR (
    Id              INTEGER PRIMARY KEY AUTOINCREMENT,
    Proceso         VARCHAR(50)  COLLATE CI,
    fecha           DATETIME,
    Error           INTEGER,
    Descripcion     VARCHAR(250) COLLATE CI,
    SQL             TEXT         COLLATE CI,
    PC              VARCHAR(100) COLLATE CI,
    Usuario         VARCHAR(50)  COLLATE CI
);

------------------------------------------------------------------------------------------------
-- Cash desks
------------------------------------------------------------------------------------------------

-- The program registers a missing cash desk here under its code of width 4.
CREATE TABLE V_TA_Cajas (
    IdCajas         VARCHAR(4)   COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(50)  COLLATE CI,
    UnidadNegocio   VARCHAR(4)   COLLATE CI DEFAULT '   1'
);

-- Users without administrator rights are redirected here; they see every cash desk.
CREATE VIEW SS_V_TA_CAJAS AS
    SELECT IdCajas, Descripcion, UnidadNegocio FROM V_TA_Cajas;

------------------------------------------------------------------------------------------------
-- Maintenance schedule
------------------------------------------------------------------------------------------------

-- Technicians.
CREATE TABLE v_ta_tecnicos (
    idtecnico       VARCHAR(4)   COLLATE CI NOT NULL PRIMARY KEY,
    nombre          VARCHAR(50)  COLLATE CI,
    especialidad    VARCHAR(50)  COLLATE CI,
    telefono        VARCHAR(30)  COLLATE CI
);

-- Customers.
CREATE TABLE VT_CLIENTES (
    CODIGO          VARCHAR(6)   COLLATE CI NOT NULL PRIMARY KEY,
    RAZON_SOCIAL    VARCHAR(100) COLLATE CI,
    CONTACTO        VARCHAR(50)  COLLATE CI,
    Domicilio       VARCHAR(100) COLLATE CI,
    Localidad       VARCHAR(50)  COLLATE CI,
    Telefono        VARCHAR(30)  COLLATE CI,
    Dada_De_Baja    BIT NOT NULL DEFAULT 0
);

-- Maintenance definitions: one piece of equipment of a customer and where it stands.
-- The inventory report lists them with location and customer; the warranty report those
-- whose FechaFinGarantia has not passed.
CREATE TABLE v_ma_mantenimientos (
    codigo          VARCHAR(15)  COLLATE CI NOT NULL PRIMARY KEY,
    descripcion     VARCHAR(100) COLLATE CI,
    ubicacion       VARCHAR(100) COLLATE CI,
    idcliente       VARCHAR(6)   COLLATE CI,
    cliente         VARCHAR(100) COLLATE CI,
    marca           VARCHAR(50)  COLLATE CI,
    modelo          VARCHAR(50)  COLLATE CI,
    nroserie        VARCHAR(50)  COLLATE CI,
    FechaAlta       DATE,
    FechaFinGarantia DATE
);

-- Documents: work orders (tc 'ot') and the other documents of the suite that may name a
-- maintenance (delivery notes 'rm', invoices 'fc').
CREATE TABLE v_mv_cpte (
    idcomprobante   INTEGER NOT NULL PRIMARY KEY,
    tc              VARCHAR(3)   COLLATE CI NOT NULL,
    numero          VARCHAR(13)  COLLATE CI,
    fecha           DATETIME,
    fechaestinicio  DATETIME,
    idcliente       VARCHAR(6)   COLLATE CI,
    nombre          VARCHAR(100) COLLATE CI,
    idtecnico       VARCHAR(4)   COLLATE CI,
    codigomant      VARCHAR(15)  COLLATE CI,
    comentarios     VARCHAR(500) COLLATE CI,
    total           DECIMAL(18,2),
    ANULADA         BIT NOT NULL DEFAULT 0,
    FINALIZADA      BIT NOT NULL DEFAULT 0
);
CREATE INDEX IX_v_mv_cpte_fecha ON v_mv_cpte (fecha);
CREATE INDEX IX_v_mv_cpte_codigomant ON v_mv_cpte (codigomant);

-- Repetition plan of a work order's maintenance: every cada days ('D'), weeks ('S'),
-- months ('M') or years ('A'); total_repeticiones 0 means without end, NULL a single visit.
-- At most one plan per order and maintenance, since the schedule reads it as a single value.
CREATE TABLE v_mv_cronograma (
    idcomprobante   INTEGER NOT NULL,
    codigomant      VARCHAR(15)  COLLATE CI NOT NULL,
    frecuencia      VARCHAR(1)   COLLATE CI,
    cada            INTEGER,
    total_repeticiones INTEGER,
    PRIMARY KEY (idcomprobante, codigomant)
);

-- Rows of the last schedule generated, per computer and user (USUARIO); the report selects
-- them by that key. Id keeps the order in which they were written.
CREATE TABLE AUX_ESTADISTICACTA (
    Id              INTEGER PRIMARY KEY AUTOINCREMENT,
    USUARIO         VARCHAR(50)  COLLATE CI,
    Nombre          VARCHAR(255) COLLATE CI,
    Grupo           VARCHAR(255) COLLATE CI,
    FechaD          DATETIME,
    FechaH          DATETIME,
    ImporteG1       DECIMAL(18,4) DEFAULT 0,
    ImporteG2       DECIMAL(18,4) DEFAULT 0,
    Detalle         VARCHAR(255) COLLATE CI
);
CREATE INDEX IX_AUX_ESTADISTICACTA_USUARIO ON AUX_ESTADISTICACTA (USUARIO);

------------------------------------------------------------------------------------------------
-- Tables offered by the quick lookups
------------------------------------------------------------------------------------------------

-- Articles; the lookups read them through VT_MA_ARTICULOS, with stock and suspension.
CREATE TABLE V_MA_ARTICULOS (
    IDARTICULO      VARCHAR(25)  COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100) COLLATE CI,
    PRECIO1         DECIMAL(18,2),
    PRECIO2         DECIMAL(18,2),
    PUNTOPEDIDO     DECIMAL(18,2) DEFAULT 0,
    Stock           DECIMAL(18,2) DEFAULT 0,
    SUSPENDIDO      BIT NOT NULL DEFAULT 0
);

CREATE VIEW VT_MA_ARTICULOS AS
    SELECT IDARTICULO, DESCRIPCION, PRECIO1, PRECIO2, PUNTOPEDIDO, Stock, SUSPENDIDO
    FROM V_MA_ARTICULOS;

-- Articles reported as missing from stock in the lookup list.
CREATE TABLE V_MV_FALTANTES (
    Id              INTEGER PRIMARY KEY AUTOINCREMENT,
    FechaHora       DATETIME,
    IdArticulo      VARCHAR(25)  COLLATE CI,
    Descripcion     VARCHAR(100) COLLATE CI,
    Usuario         VARCHAR(50)  COLLATE CI,
    Atendido        BIT DEFAULT 0
);

CREATE TABLE VT_PROVEEDORES (
    CODIGO          VARCHAR(6)   COLLATE CI NOT NULL PRIMARY KEY,
    RAZON_SOCIAL    VARCHAR(100) COLLATE CI,
    CONTACTO        VARCHAR(50)  COLLATE CI,
    Telefono        VARCHAR(30)  COLLATE CI,
    Dada_De_Baja    BIT NOT NULL DEFAULT 0
);

CREATE TABLE MA_CONTACTOS (
    Id                INTEGER PRIMARY KEY AUTOINCREMENT,
    Nombre_y_Apellido VARCHAR(100) COLLATE CI,
    Domicilio         VARCHAR(100) COLLATE CI,
    Localidad         VARCHAR(50)  COLLATE CI,
    Telefono          VARCHAR(30)  COLLATE CI
);

CREATE TABLE V_TA_VENDEDORES (
    IDVENDEDOR      VARCHAR(4)   COLLATE CI NOT NULL PRIMARY KEY,
    NOMBRE          VARCHAR(50)  COLLATE CI
);

CREATE TABLE MA_CUENTAS (
    CODIGO          VARCHAR(20)  COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100) COLLATE CI,
    Imputable       BIT NOT NULL DEFAULT 1
);

-- Article families: a family's code starts with its parent's (01, 0101, 010101...).
CREATE TABLE V_TA_FAMILIAS (
    IdFamilia       VARCHAR(10)  COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100) COLLATE CI
);

-- Positions of the warehouse and cost centres, both coded as a hierarchy.
CREATE TABLE MA_POSICIONES (
    IDPOSICION      VARCHAR(10)  COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100) COLLATE CI
);
CREATE TABLE TA_CCOSTO (
    CODIGO          VARCHAR(20)  COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100) COLLATE CI
);

-- Users without administrator rights are redirected here; they see every account.
CREATE VIEW SS_MA_CUENTAS AS
    SELECT CODIGO, DESCRIPCION, Imputable FROM MA_CUENTAS;

-- Kinds of work done by the technicians.
CREATE TABLE V_TA_Tareas (
    IdTarea         VARCHAR(4)   COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100) COLLATE CI
);

CREATE TABLE V_TA_UnidadNegocio (
    Codigo          VARCHAR(4)   COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100) COLLATE CI
);

CREATE TABLE V_TA_DEPOSITO (
    IdDeposito      VARCHAR(4)   COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100) COLLATE CI,
    UnidadNegocio   VARCHAR(4)   COLLATE CI DEFAULT '   1'
);

-- Users without administrator rights are redirected here; they see every warehouse.
CREATE VIEW SS_V_TA_DEPOSITO AS
    SELECT IdDeposito, Descripcion, UnidadNegocio FROM V_TA_DEPOSITO;
