-- Database of the suite as Cronequipo sees it, in the SQL Server dialect: the creation tool runs
-- it through the data layer, which translates it for the database it creates it on.
--
-- Conventions of this file:
--   * Text columns compare without case and blind to trailing blanks, so that 'demo ' = 'DEMO',
--     as on the server: the embedded engine's translation gives each its collation CI.
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
    CLAVE           VARCHAR(50)  NOT NULL PRIMARY KEY,
    VALOR           VARCHAR(255),
    ValorAux        VARCHAR(255),
    Grupo           VARCHAR(50),
    PoliticaNegocio BIT DEFAULT 0,
    Descripcion     VARCHAR(255)
);

-- Users of the suite; Administrador is read as a number: 1 lets a user read the real tables instead of the
-- restricted views.
CREATE TABLE TA_USUARIOS (
    Nombre          VARCHAR(50)  NOT NULL PRIMARY KEY,
    NombreCompleto  VARCHAR(100),
    Administrador   SMALLINT NOT NULL DEFAULT 0,
    UNegocio        VARCHAR(4)   DEFAULT '   1',
    verproforma     BIT NOT NULL DEFAULT 0
);

------------------------------------------------------------------------------------------------
-- Menu rights and access log
------------------------------------------------------------------------------------------------

-- Menu entries; Proceso names the program an entry starts.
CREATE TABLE TA_MENU (
    Clave           VARCHAR(10)  NOT NULL PRIMARY KEY,
    Nombre          VARCHAR(100),
    Proceso         VARCHAR(255),
    Padre           VARCHAR(10)
);

-- Menu entries granted to each user.
CREATE TABLE TA_TAREAS (
    USUARIO         VARCHAR(50)  NOT NULL,
    TAREA           VARCHAR(10)  NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
);

-- One row per program start.
CREATE TABLE Control_Acceso (
    Id              INT IDENTITY(1,1) PRIMARY KEY,
    Maquina         VARCHAR(100),
    Usuario         VARCHAR(50),
    Formulario      VARCHAR(50),
    Tarea           VARCHAR(100),
    Ingreso         DATETIME,
    NombreUsuario   VARCHAR(50)
);

-- Statement scripts that failed; SQL keeps the whole script, however long.
CREATE TABLE AUX_ERR (
    Id              INT IDENTITY(1,1) PRIMARY KEY,
    Proceso         VARCHAR(50),
    fecha           DATETIME,
    Error           INTEGER,
    Descripcion     VARCHAR(250),
    SQL             TEXT        ,
    PC              VARCHAR(100),
    Usuario         VARCHAR(50)
);

------------------------------------------------------------------------------------------------
-- Cash desks
------------------------------------------------------------------------------------------------

-- The program registers a missing cash desk here under its code of width 4.
CREATE TABLE V_TA_Cajas (
    IdCajas         VARCHAR(4)   NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(50),
    UnidadNegocio   VARCHAR(4)   DEFAULT '   1'
);

-- Users without administrator rights are redirected here; they see every cash desk.
CREATE VIEW SS_V_TA_CAJAS AS
    SELECT IdCajas, Descripcion, UnidadNegocio FROM V_TA_Cajas;

------------------------------------------------------------------------------------------------
-- Maintenance schedule
------------------------------------------------------------------------------------------------

-- Technicians.
CREATE TABLE v_ta_tecnicos (
    idtecnico       VARCHAR(4)   NOT NULL PRIMARY KEY,
    nombre          VARCHAR(50),
    especialidad    VARCHAR(50),
    telefono        VARCHAR(30)
);

-- Customers.
CREATE TABLE VT_CLIENTES (
    CODIGO          VARCHAR(6)   NOT NULL PRIMARY KEY,
    RAZON_SOCIAL    VARCHAR(100),
    CONTACTO        VARCHAR(50),
    Domicilio       VARCHAR(100),
    Localidad       VARCHAR(50),
    Telefono        VARCHAR(30),
    Dada_De_Baja    BIT NOT NULL DEFAULT 0
);

-- Maintenance definitions: one piece of equipment of a customer and where it stands.
-- The inventory report lists them with location and customer; the warranty report those
-- whose FechaFinGarantia has not passed.
CREATE TABLE v_ma_mantenimientos (
    codigo          VARCHAR(15)  NOT NULL PRIMARY KEY,
    descripcion     VARCHAR(100),
    ubicacion       VARCHAR(100),
    idcliente       VARCHAR(6),
    cliente         VARCHAR(100),
    marca           VARCHAR(50),
    modelo          VARCHAR(50),
    nroserie        VARCHAR(50),
    FechaAlta       DATE,
    FechaFinGarantia DATE
);

-- Documents: work orders (tc 'ot') and the other documents of the suite that may name a
-- maintenance (delivery notes 'rm', invoices 'fc').
CREATE TABLE v_mv_cpte (
    idcomprobante   INTEGER NOT NULL PRIMARY KEY,
    tc              VARCHAR(3)   NOT NULL,
    numero          VARCHAR(13),
    fecha           DATETIME,
    fechaestinicio  DATETIME,
    idcliente       VARCHAR(6),
    nombre          VARCHAR(100),
    idtecnico       VARCHAR(4),
    codigomant      VARCHAR(15),
    comentarios     VARCHAR(500),
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
    codigomant      VARCHAR(15)  NOT NULL,
    frecuencia      VARCHAR(1),
    cada            INTEGER,
    total_repeticiones INTEGER,
    PRIMARY KEY (idcomprobante, codigomant)
);

-- Rows of the last schedule generated, per computer and user (USUARIO); the report selects
-- them by that key. Id keeps the order in which they were written.
CREATE TABLE AUX_ESTADISTICACTA (
    Id              INT IDENTITY(1,1) PRIMARY KEY,
    USUARIO         VARCHAR(50),
    Nombre          VARCHAR(255),
    Grupo           VARCHAR(255),
    FechaD          DATETIME,
    FechaH          DATETIME,
    ImporteG1       DECIMAL(18,4) DEFAULT 0,
    ImporteG2       DECIMAL(18,4) DEFAULT 0,
    Detalle         VARCHAR(255)
);
CREATE INDEX IX_AUX_ESTADISTICACTA_USUARIO ON AUX_ESTADISTICACTA (USUARIO);

------------------------------------------------------------------------------------------------
-- Tables offered by the quick lookups
------------------------------------------------------------------------------------------------

-- Articles; the lookups read them through VT_MA_ARTICULOS, with stock and suspension.
CREATE TABLE V_MA_ARTICULOS (
    IDARTICULO      VARCHAR(25)  NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100),
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
    Id              INT IDENTITY(1,1) PRIMARY KEY,
    FechaHora       DATETIME,
    IdArticulo      VARCHAR(25),
    Descripcion     VARCHAR(100),
    Usuario         VARCHAR(50),
    Atendido        BIT DEFAULT 0
);

CREATE TABLE VT_PROVEEDORES (
    CODIGO          VARCHAR(6)   NOT NULL PRIMARY KEY,
    RAZON_SOCIAL    VARCHAR(100),
    CONTACTO        VARCHAR(50),
    Telefono        VARCHAR(30),
    Dada_De_Baja    BIT NOT NULL DEFAULT 0
);

CREATE TABLE MA_CONTACTOS (
    Id                INT IDENTITY(1,1) PRIMARY KEY,
    Nombre_y_Apellido VARCHAR(100),
    Domicilio         VARCHAR(100),
    Localidad         VARCHAR(50),
    Telefono          VARCHAR(30)
);

CREATE TABLE V_TA_VENDEDORES (
    IDVENDEDOR      VARCHAR(4)   NOT NULL PRIMARY KEY,
    NOMBRE          VARCHAR(50)
);

CREATE TABLE MA_CUENTAS (
    CODIGO          VARCHAR(20)  NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100),
    Imputable       BIT NOT NULL DEFAULT 1
);

-- Article families: a family's code starts with its parent's (01, 0101, 010101...).
CREATE TABLE V_TA_FAMILIAS (
    IdFamilia       VARCHAR(10)  NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100)
);

-- Positions of the warehouse and cost centres, both coded as a hierarchy.
CREATE TABLE MA_POSICIONES (
    IDPOSICION      VARCHAR(10)  NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100)
);
CREATE TABLE TA_CCOSTO (
    CODIGO          VARCHAR(20)  NOT NULL PRIMARY KEY,
    DESCRIPCION     VARCHAR(100)
);

-- Users without administrator rights are redirected here; they see every account.
CREATE VIEW SS_MA_CUENTAS AS
    SELECT CODIGO, DESCRIPCION, Imputable FROM MA_CUENTAS;

-- Kinds of work done by the technicians.
CREATE TABLE V_TA_Tareas (
    IdTarea         VARCHAR(4)   NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100)
);

CREATE TABLE V_TA_UnidadNegocio (
    Codigo          VARCHAR(4)   NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100)
);

CREATE TABLE V_TA_DEPOSITO (
    IdDeposito      VARCHAR(4)   NOT NULL PRIMARY KEY,
    Descripcion     VARCHAR(100),
    UnidadNegocio   VARCHAR(4)   DEFAULT '   1'
);

-- Users without administrator rights are redirected here; they see every warehouse.
CREATE VIEW SS_V_TA_DEPOSITO AS
    SELECT IdDeposito, Descripcion, UnidadNegocio FROM V_TA_DEPOSITO;
