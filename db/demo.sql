-- Demo data: "Servicios Técnicos del Sur", a small business that services the equipment of its
-- customers (ovens, cold rooms, boilers, lifts...).
--
-- Runs after schema.sql, in the SQL Server dialect that the data layer translates for each engine
-- (cronequipo-crearbase runs it on the embedded database and on a server alike). Every date is
-- computed from the current date, so the work orders always fall in the current and the next
-- year and the schedule of the current year is never empty. Codes are right-aligned with STR()
-- at the width of their kind.

------------------------------------------------------------------------------------------------
-- Configuration read by the program
------------------------------------------------------------------------------------------------

INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, ValorAux, Grupo, PoliticaNegocio, Descripcion) VALUES
    ('NOMBRE', 'Servicios Técnicos del Sur', '', 'Empresa', 0, 'Nombre de la empresa en los reportes'),
    ('SS_CONFIDENCIALIDAD', 'NO', '', 'Seguridad', 1, 'Vistas restringidas también para asientos'),
    ('TOP_DEFAULT', '1000', '', 'Consultas', 0, 'Filas por omisión de las consultas'),
    ('TOPCONSART', '500', '', 'Consultas', 0, 'Filas de la consulta de artículos'),
    ('USACONSULTALIKE', 'SI', '', 'Consultas', 0, 'Buscar el texto en cualquier parte de la columna'),
    ('MOSTRARSTOCKENCONSULTAS', 'SI', '', 'Consultas', 0, 'Colorear los artículos según su stock'),
    ('STK_NIVEL1', '32768', '', 'Consultas', 0, 'Color: stock sin punto de pedido'),
    ('STK_NIVEL2', '16711680', '', 'Consultas', 0, 'Color: stock sobre el punto de pedido'),
    ('STK_NIVEL3', '255', '', 'Consultas', 0, 'Color: stock bajo el punto de pedido'),
    ('STK_NIVEL4', '8421504', '', 'Consultas', 0, 'Color: sin stock'),
    ('NOM_PCLASE1', 'Precio de lista', '', 'Ventas', 0, 'Nombre de la lista de precios 1'),
    ('NOM_PCLASE2', 'Precio abonados', '', 'Ventas', 0, 'Nombre de la lista de precios 2'),
    ('THEME', '1', '', 'Apariencia', 0, 'Tema visual'),
    ('CFONDO', '0', '', 'Apariencia', 0, 'Color de fondo de los campos (0 = celeste)'),
    ('CLETRA', '0', '', 'Apariencia', 0, 'Color de letra de los campos'),
    ('TITULOCLIENTES', 'Clientes', '', 'General', 0, 'Título de la ficha de clientes'),
    ('TITULOPROVEEDORES', 'Proveedores', '', 'General', 0, 'Título de la ficha de proveedores'),
    ('EXIGECLAVECONSULTALIKEARTICULOS', 'NO', '', 'Consultas', 1, NULL),
    ('CANTIDADDECIMALES', '2', '', 'General', 0, 'Decimales de cantidades'),
    ('CANTIDADDECIMALESVENTAS', '2', '', 'Ventas', 0, 'Decimales de cantidades en ventas'),
    ('USAMULTILESMONEDAS', 'NO', '', 'Ventas', 1, NULL),
    ('USAFACTURAPROFORMA', 'NO', '', 'Ventas', 1, NULL),
    ('USACCOSTO', 'NO', '', 'Contabilidad', 1, 'Usa centros de costo'),
    ('USA_STK_STOCK_UDKG', 'NO', '', 'Stock', 1, NULL),
    ('UNIDADDEMEDIDA_M3', 'M3', '', 'Stock', 0, NULL),
    ('UNIDADDEMEDIDA_BL', 'BL', '', 'Stock', 0, NULL),
    ('UNIDADDEMEDIDA_KG', 'KG', '', 'Stock', 0, NULL),
    ('PERIODO', CAST(YEAR(GETDATE()) AS varchar(4)), '', 'Contabilidad', 0, 'Ejercicio en curso'),
    ('RAZONSOCIALPORUNEG', 'NO', '', 'General', 0, NULL),
    ('VALIDACODIGOBARRA', 'NO', '', 'Stock', 0, NULL),
    ('MODULOORDENDETRABAJO', 'SI', '', 'Servicios', 1, 'Usa órdenes de trabajo'),
    ('V_MODIFICAPRECIO', 'NO', '', 'Ventas', 1, NULL),
    ('C_MODIFICAPRECIO', 'NO', '', 'Compras', 1, NULL),
    ('MADERERA', 'NO', '', 'General', 0, NULL),
    ('MAXDTO', '10', '', 'Ventas', 1, 'Descuento máximo (%)'),
    ('MAXDTOPROFORMA', '0', '', 'Ventas', 1, NULL),
    ('PIDECLAVE_STOCKNEG', 'NO', '', 'Stock', 1, NULL),
    ('PIDECLAVE_MARKUPBASE', 'NO', '', 'Ventas', 1, NULL),
    ('PIDECLAVE_LIMITECREDITO', 'NO', '', 'Ventas', 1, NULL),
    ('SS_BLOQUEOACTIVO', 'NO', '', 'Seguridad', 1, NULL),
    ('UTILIZARFECHADIA', 'NO', '', 'General', 0, NULL),
    ('ASIGNACIONAUTOMATICADELOTEING', 'NO', '', 'Stock', 0, NULL),
    ('ASIGNACIONAUTOMATICADELOTEINGOP', 'NO', '', 'Stock', 0, NULL),
    ('CONDIVAEMPRESA', '1', '', 'Empresa', 0, 'Condición frente al IVA'),
    ('CONDIVA', '1', '', 'Empresa', 0, NULL);

------------------------------------------------------------------------------------------------
-- Users, menu rights, cash desks
------------------------------------------------------------------------------------------------

INSERT INTO TA_USUARIOS (Nombre, NombreCompleto, Administrador, UNegocio, verproforma) VALUES
    ('demo', 'Usuario de demostración', 1, '   1', 0),
    ('operador', 'Mesa de ayuda', 0, '   1', 0),
    ('lfernandez', 'Lucía Fernández', 0, '   2', 0);

INSERT INTO TA_MENU (Clave, Nombre, Proceso, Padre) VALUES
    ('01', 'Servicio técnico', NULL, NULL),
    ('0101', 'Órdenes de Trabajo', 'SHELL:OrdTrabajo.exe', '01'),
    ('0102', 'Técnicos', 'SHELL:Tecnicos.exe', '01'),
    ('0103', 'Cronograma de Mantenimientos', 'SHELL:Cronequipo.exe', '01'),
    ('0104', 'Equipos de Clientes', 'SHELL:Equipos.exe', '01'),
    ('02', 'Ventas', NULL, NULL),
    ('0201', 'Facturación', 'SHELL:Facturacion.exe', '02');

-- lfernandez has no right on the schedule: her starts are logged with an empty task.
INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES
    ('demo', '0101'), ('demo', '0102'), ('demo', '0103'), ('demo', '0104'), ('demo', '0201'),
    ('operador', '0101'), ('operador', '0103'),
    ('lfernandez', '0201');

INSERT INTO V_TA_Cajas (IdCajas, Descripcion, UnidadNegocio) VALUES
    (STR(1, 4), 'Caja Administración', STR(1, 4)),
    (STR(2, 4), 'Caja Taller', STR(1, 4));

INSERT INTO V_TA_UnidadNegocio (Codigo, Descripcion) VALUES
    (STR(1, 4), 'Casa Central'),
    (STR(2, 4), 'Sucursal Puerto Claro');

INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UnidadNegocio) VALUES
    (STR(1, 4), 'Depósito Central', STR(1, 4)),
    (STR(2, 4), 'Móvil de servicio 1', STR(1, 4)),
    (STR(3, 4), 'Depósito Puerto Claro', STR(2, 4));

------------------------------------------------------------------------------------------------
-- Technicians, customers, equipment
------------------------------------------------------------------------------------------------

-- Ten technicians, so that a range such as 7 to 12 crosses from one to two digits.
INSERT INTO v_ta_tecnicos (idtecnico, nombre, especialidad, telefono) VALUES
    (STR(1, 4), 'Martín Gutiérrez', 'Refrigeración', '351-4420101'),
    (STR(2, 4), 'Sofía Ibáñez', 'Refrigeración', '351-4420102'),
    (STR(3, 4), 'Julián Peña', 'Neumática e hidráulica', '351-4420103'),
    (STR(4, 4), 'Rocío Benítez', 'Hidráulica', '351-4420104'),
    (STR(5, 4), 'Hernán Quiroga', 'Calderas y gas', '351-4420105'),
    (STR(6, 4), 'Valeria Muñoz', 'Ascensores', '351-4420106'),
    (STR(7, 4), 'Tomás Echeverría', 'Climatización', '351-4420107'),
    (STR(8, 4), 'Inés Carrizo', 'Electricidad', '351-4420108'),
    (STR(9, 4), 'Ramiro Sáenz', 'Electromedicina', '351-4420109'),
    (STR(10, 4), 'Agustina Ledesma', 'Equipos de lavandería', '351-4420110');

INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL, CONTACTO, Domicilio, Localidad, Telefono, Dada_De_Baja) VALUES
    (STR(1, 6), 'Panadería Núñez', 'Rosa Núñez', 'Av. del Trigal 1450', 'San Miguel', '351-4810001', 0),
    (STR(2, 6), 'Taller O''Higgins', 'Ernesto Vidal', 'Calle O''Higgins 233', 'Villa Alta', '351-4810002', 0),
    (STR(3, 6), 'Hotel Los Álamos', 'Mariela Sosa', 'Costanera Sur 88', 'Puerto Claro', '351-4810003', 0),
    (STR(4, 6), 'Clínica Santa Lucía', 'Esteban Roldán', 'Pasaje Los Tilos 12', 'San Miguel', '351-4810004', 0),
    (STR(5, 6), 'Supermercado El Ñandú', 'Gustavo Ferreyra', 'Ruta 9 km 14', 'Los Sauces', '351-4810005', 0),
    (STR(6, 6), 'Farmacia del Pilar', 'Patricia Olmedo', 'Plaza Mayor 5', 'Villa Alta', '351-4810006', 0),
    (STR(7, 6), 'Lavadero Arcoíris', 'Cintia Aguirre', 'Juncal 740', 'San Miguel', '351-4810007', 0),
    (STR(8, 6), 'Restaurante La Pérgola', 'Fabián Correa', 'Paseo de la Ribera 31', 'Puerto Claro', '351-4810008', 0),
    (STR(9, 6), 'Gimnasio Olimpo', 'Diego Acuña', 'Bv. de los Atletas 900', 'Los Sauces', '351-4810009', 0),
    (STR(10, 6), 'Confitería La Espiga', 'Norma Vélez', 'Sarmiento 415', 'San Miguel', '351-4810010', 1);

-- Equipment, with warranties that have ended (or are unknown) and others still running.
INSERT INTO v_ma_mantenimientos
    (codigo, descripcion, ubicacion, idcliente, marca, modelo, nroserie, FechaAlta, FechaFinGarantia) VALUES
    ('EQ-001', 'Horno rotativo a gas de 18 bandejas', 'Cuadra de producción', STR(1, 6),
        'Hornotec', 'HR-18', 'HR18-20417', DATEADD(month, -30, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -6, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-002', 'Cámara frigorífica de harinas', 'Depósito', STR(1, 6),
        'Frigopampa', 'CF-12', 'CF12-0093', DATEADD(month, -8, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 16, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-003', 'Compresor de aire de 100 litros', 'Nave principal', STR(2, 6),
        'Airemax', 'C100-3HP', 'AM-55120', DATEADD(month, -40, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -28, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-004', 'Elevador hidráulico de dos columnas', 'Box 2', STR(2, 6),
        'Levantar', 'L2C-4000', 'LV-4000-311', DATEADD(month, -5, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 19, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-005', 'Caldera de calefacción central', 'Sala de máquinas', STR(3, 6),
        'Termosur', 'TS-250', 'TS250-7781', DATEADD(month, -70, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), NULL),
    ('EQ-006', 'Ascensor de pasajeros (6 personas)', 'Torre A', STR(3, 6),
        'Subebaja', 'SB-6P', 'SB6P-1203', DATEADD(month, -14, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 10, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-007', 'Aire acondicionado de 12.000 frigorías', 'Quirófano 1', STR(4, 6),
        'Climazul', 'CZ-12000', 'CZ12-44810', DATEADD(month, -11, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 1, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-008', 'Grupo electrógeno de 60 kVA', 'Subsuelo', STR(4, 6),
        'Energen', 'EG-60', 'EG60-0571', DATEADD(month, -26, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -2, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-009', 'Autoclave de esterilización', 'Central de esterilización', STR(4, 6),
        'Vaporlimpio', 'AV-75', 'AV75-3302', DATEADD(month, -3, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 33, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-010', 'Góndola refrigerada de lácteos', 'Salón de ventas', STR(5, 6),
        'Frigopampa', 'GR-3P', 'GR3P-1188', DATEADD(month, -20, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 4, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-011', 'Balanza electrónica de mostrador', 'Fiambrería', STR(5, 6),
        'Pesaexacta', 'PE-31', 'PE31-90071', DATEADD(month, -50, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -38, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-012', 'Heladera exhibidora de medicamentos', 'Mostrador', STR(6, 6),
        'Climazul', 'HX-400', 'HX400-2210', DATEADD(month, -9, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 3, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-013', 'Lavarropas industrial de 30 kg', 'Planta baja', STR(7, 6),
        'Lavamás', 'LI-30', 'LI30-6612', DATEADD(month, -16, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 8, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-014', 'Secadora industrial a gas', 'Planta baja', STR(7, 6),
        'Lavamás', 'SG-30', 'SG30-6650', DATEADD(month, -16, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -4, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-015', 'Campana extractora de cocina', 'Cocina', STR(8, 6),
        'Airemax', 'CE-250', NULL, DATEADD(month, -60, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), NULL),
    ('EQ-016', 'Freidora industrial doble', 'Cocina', STR(8, 6),
        'Hornotec', 'FD-2x10', 'FD2-0815', DATEADD(month, -7, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 5, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-017', 'Cinta de correr profesional', 'Sala de aparatos', STR(9, 6),
        'Trotafit', 'TF-900', 'TF900-3320', DATEADD(month, -13, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -1, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-018', 'Bomba de recirculación de la pileta', 'Sala de bombas', STR(9, 6),
        'Hidroflux', 'BR-2HP', 'BR2-55402', DATEADD(month, -2, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, 22, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1))),
    ('EQ-019', 'Matafuegos ABC de 10 kg (lote de 12)', 'Pasillos de todos los pisos', STR(3, 6),
        'Apagafuego', 'ABC-10', NULL, DATEADD(month, -24, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), NULL),
    ('EQ-020', 'Tablero eléctrico principal', 'Entrada del taller', STR(2, 6),
        'Energen', 'TP-400A', 'TP400-118', DATEADD(month, -36, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)), DATEADD(month, -12, DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1)));

UPDATE v_ma_mantenimientos
   SET cliente = (SELECT RAZON_SOCIAL FROM VT_CLIENTES WHERE VT_CLIENTES.CODIGO = v_ma_mantenimientos.idcliente);

------------------------------------------------------------------------------------------------
-- Work orders and their repetition plans
------------------------------------------------------------------------------------------------

-- One row per work order: year (0 current, 1 next), day of that year of the order, days until
-- the estimated start, equipment, technician (NULL: not assigned yet), plan and flags.
CREATE TABLE #ot_demo (
    id INT PRIMARY KEY, anio INT, dia INT, demora INT, codigomant VARCHAR(20),
    tecnico INT, frecuencia VARCHAR(1), cada INT, total INT,
    anulada INT, finalizada INT, comentarios VARCHAR(255)
);

INSERT INTO #ot_demo VALUES
    ( 1, 0,   3,  2, 'EQ-001',    1, 'M', 1,   12, 0, 0, 'Limpieza de quemadores y control del termostato.'),
    ( 2, 0,   5,  0, 'EQ-002',    2, 'M', 1,    0, 0, 0, NULL),
    ( 3, 0,  10,  4, 'EQ-003',    3, 'S', 2,   26, 0, 0, 'Purgar el tanque y revisar la válvula de seguridad.'),
    ( 4, 0,  14,  1, 'EQ-004',    4, 'M', 3,    4, 0, 0, NULL),
    ( 5, 0,  20,  5, 'EQ-005',    5, 'M', 1,    6, 0, 0, 'Prueba de estanqueidad antes del invierno.'),
    ( 6, 0,  28,  0, 'EQ-006',    6, 'M', 1,    0, 0, 0, 'Inspección mensual obligatoria: firmar el libro de la sala.'),
    ( 7, 0,  35,  3, 'EQ-007',    7, 'M', 2,    6, 0, 0, NULL),
    ( 8, 0,  41,  2, 'EQ-008',    8, 'S', 1,    0, 0, 0, 'Arranque semanal en vacío durante 15 minutos.'),
    ( 9, 0,  47,  1, 'EQ-009',    1, 'D', 1,   30, 0, 0, 'Validación diaria con indicador biológico.'),
    (10, 0,  55,  6, 'EQ-010',    2, 'A', 1,    3, 0, 0, NULL),
    (11, 0,  62,  0, 'EQ-011',    3, 'A', 1, NULL, 0, 0, 'Calibración con pesas patrón.'),
    (12, 0,  70,  2, 'EQ-012',    9, 'M', 1,   12, 0, 0, NULL),
    (13, 0,  84,  3, 'EQ-013',   10, 'S', 3,   12, 0, 0, NULL),
    (14, 0,  96,  1, 'EQ-014',    4, 'D', 3,   20, 0, 0, NULL),
    (15, 0, 110,  0, 'EQ-015',    5, 'M', 2,    0, 0, 0, 'Desengrase de filtros; avisar al encargado de la ''cocina caliente''.'),
    (16, 0, 125,  7, 'EQ-016',    6, 'S', 1,    8, 1, 0, 'Anulada: el cliente pidió otra fecha.'),
    (17, 0, 140,  2, 'EQ-017',    7, 'M', 1,    6, 0, 1, 'Finalizada antes de término por reemplazo del equipo.'),
    (18, 0, 152,  0, 'EQ-018',    8, 'D', 2,   45, 0, 0, NULL),
    (19, 0, 170,  5, 'EQ-019',    1, 'A', 1,    0, 0, 0, 'Recarga y prueba hidráulica.'),
    (20, 0, 195,  1, 'EQ-020',    2, 'A', 2, NULL, 0, 0, NULL),
    (21, 0, 230,  3, 'EQ-005',    3, 'S', 1,    4, 1, 0, NULL),
    (22, 0, 260,  0, 'EQ-007', NULL, 'M', 1,    3, 0, 0, 'Sin técnico asignado todavía.'),
    (23, 0, 300,  4, 'EQ-001',    9, 'D', 1, NULL, 0, 1, NULL),
    (24, 0, 350, 20, 'EQ-013',   10, 'M', 1,   12, 0, 0, 'Comienza en enero.'),
    (25, 1,   2,  3, 'EQ-002',    3, 'M', 1,   12, 0, 0, NULL),
    (26, 1,  15,  0, 'EQ-003',    4, 'S', 1,    0, 0, 0, NULL),
    (27, 1,  31,  2, 'EQ-006',    5, 'M', 1,   12, 0, 0, 'Renovación del abono de ascensores.'),
    (28, 1,  45,  1, 'EQ-008',    6, 'M', 3,    4, 0, 0, NULL),
    (29, 1,  60,  4, 'EQ-009',    7, 'D', 1,    0, 0, 0, NULL),
    (30, 1,  74,  0, 'EQ-010',    8, 'S', 2,   20, 0, 0, NULL),
    (31, 1,  90,  6, 'EQ-011',    9, 'A', 1,    2, 0, 0, NULL),
    (32, 1, 105,  1, 'EQ-012',   10, 'M', 2,    6, 0, 0, NULL),
    (33, 1, 120,  2, 'EQ-014',    1, 'D', 2,   30, 1, 0, NULL),
    (34, 1, 150,  0, 'EQ-015',    2, 'M', 1,    6, 0, 0, NULL),
    (35, 1, 180,  3, 'EQ-016',    3, 'S', 1,   12, 0, 0, 'Cambio de aceite semanal en temporada alta.'),
    (36, 1, 210,  1, 'EQ-017',    4, 'A', 3,    0, 0, 0, NULL),
    (37, 1, 240,  5, 'EQ-018',    5, 'D', 3, NULL, 0, 0, NULL),
    (38, 1, 270,  0, 'EQ-019',    6, 'A', 1,    5, 0, 0, NULL),
    (39, 1, 300,  2, 'EQ-020',    7, 'M', 1,    0, 0, 1, NULL),
    (40, 1, 330,  4, 'EQ-004',    8, 'S', 3,   10, 0, 0, NULL);

INSERT INTO v_mv_cpte
    (idcomprobante, tc, numero, fecha, fechaestinicio, idcliente, idtecnico, codigomant,
     comentarios, ANULADA, FINALIZADA)
SELECT o.id, 'ot', '0001-' + REPLACE(STR(o.id, 8), ' ', '0'),
       DATEADD(day, o.dia, DATEFROMPARTS(YEAR(GETDATE()) + o.anio, 1, 1)),
       DATEADD(day, o.dia + o.demora, DATEFROMPARTS(YEAR(GETDATE()) + o.anio, 1, 1)),
       m.idcliente,
       CASE WHEN o.tecnico IS NULL THEN NULL ELSE STR(o.tecnico, 4) END,
       o.codigomant, o.comentarios, o.anulada, o.finalizada
  FROM #ot_demo o
  JOIN v_ma_mantenimientos m ON m.codigo = o.codigomant;

INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, total_repeticiones)
SELECT id, codigomant, frecuencia, cada, total FROM #ot_demo;

DROP TABLE #ot_demo;

-- Other documents. The two delivery notes of a maintenance enter the schedule once, on their
-- start date, as they have no plan; the invoices name no maintenance.
INSERT INTO v_mv_cpte
    (idcomprobante, tc, numero, fecha, fechaestinicio, idcliente, idtecnico, codigomant,
     comentarios, total, ANULADA, FINALIZADA) VALUES
    (41, 'rm', '0001-00000051', DATEADD(day, 48, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)), DATEADD(day, 48, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)),
        STR(4, 6), STR(1, 4), 'EQ-009', 'Entrega de repuestos para la autoclave.', NULL, 0, 0),
    (42, 'rm', '0001-00000052', DATEADD(day, 200, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)), DATEADD(day, 201, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)),
        STR(7, 6), STR(10, 4), 'EQ-013', NULL, NULL, 0, 0),
    (43, 'rm', '0001-00000053', DATEADD(day, 220, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)), DATEADD(day, 220, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)),
        STR(2, 6), NULL, NULL, 'Envío de filtros de aire.', NULL, 0, 0),
    (44, 'fc', '0002-00000311', DATEADD(day, 31, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)), NULL,
        STR(1, 6), NULL, NULL, 'Abono mensual de mantenimiento.', 185000.00, 0, 0),
    (45, 'fc', '0002-00000312', DATEADD(day, 59, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)), NULL,
        STR(2, 6), NULL, NULL, NULL, 92500.50, 0, 0),
    (46, 'fc', '0002-00000313', DATEADD(day, 120, DATEFROMPARTS(YEAR(GETDATE()), 1, 1)), NULL,
        STR(3, 6), NULL, NULL, 'Anulada por error en el importe.', 410000.00, 1, 0),
    (47, 'fc', '0002-00000401', DATEADD(day, 31, DATEFROMPARTS(YEAR(GETDATE()) + 1, 1, 1)), NULL,
        STR(4, 6), NULL, NULL, NULL, 267300.00, 0, 0);

UPDATE v_mv_cpte
   SET nombre = (SELECT RAZON_SOCIAL FROM VT_CLIENTES WHERE VT_CLIENTES.CODIGO = v_mv_cpte.idcliente);

------------------------------------------------------------------------------------------------
-- Tables of the quick lookups
------------------------------------------------------------------------------------------------

-- Spare parts, one of each stock level and one suspended.
INSERT INTO V_MA_ARTICULOS (IDARTICULO, DESCRIPCION, PRECIO1, PRECIO2, PUNTOPEDIDO, Stock, SUSPENDIDO) VALUES
    (STR(101, 25), 'Filtro de aire para compresor', 18500.00, 16650.00, 0, 14, 0),
    (STR(102, 25), 'Correa de transmisión A-42', 9200.00, 8280.00, 5, 12, 0),
    (STR(103, 25), 'Gas refrigerante R-410A (garrafa de 11,3 kg)', 142000.00, 127800.00, 4, 2, 0),
    (STR(104, 25), 'Termocupla universal de 90 cm', 6400.00, 5760.00, 0, 0, 0),
    (STR(105, 25), 'Aceite hidráulico ISO 68 (bidón de 20 l)', 61000.00, 54900.00, 3, 3, 0),
    (STR(106, 25), 'Burlete de puerta para cámara frigorífica', 23800.00, 21420.00, 2, 6, 1);

INSERT INTO VT_PROVEEDORES (CODIGO, RAZON_SOCIAL, CONTACTO, Telefono, Dada_De_Baja) VALUES
    (STR(1, 6), 'Repuestos Frío Austral', 'Marcos Villalba', '351-4700011', 0),
    (STR(2, 6), 'Hidráulica Cerro Azul', 'Liliana Paz', '351-4700012', 0),
    (STR(3, 6), 'Distribuidora Chañar', 'Oscar Moyano', '351-4700013', 1);

INSERT INTO MA_CONTACTOS (Nombre_y_Apellido, Domicilio, Localidad, Telefono) VALUES
    ('Rosa Núñez', 'Av. del Trigal 1450', 'San Miguel', '351-4810001'),
    ('Ernesto Vidal', 'Calle O''Higgins 233', 'Villa Alta', '351-4810002'),
    ('Mariela Sosa', 'Costanera Sur 88', 'Puerto Claro', '351-4810003');

INSERT INTO V_TA_VENDEDORES (IDVENDEDOR, NOMBRE) VALUES
    (STR(1, 4), 'Claudio Barrionuevo'),
    (STR(2, 4), 'Silvina Arce');

INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, Imputable) VALUES
    ('1', 'Activo', 0),
    ('1.1.01', 'Caja', 1),
    ('1.1.03', 'Deudores por servicios', 1),
    ('4', 'Ingresos', 0),
    ('4.1.01', 'Abonos de mantenimiento', 1),
    ('4.1.02', 'Reparaciones', 1),
    ('5.1.02', 'Repuestos y materiales', 1);

INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES
    ('01', 'Refrigeración'),
    ('0101', 'Gases refrigerantes'),
    ('0102', 'Compresores'),
    ('010201', 'Compresores herméticos'),
    ('02', 'Hidráulica'),
    ('0201', 'Bombas'),
    ('03', 'Repuestos generales');

INSERT INTO MA_POSICIONES (IDPOSICION, DESCRIPCION) VALUES
    ('A', 'Depósito central'),
    ('A1', 'Estantería 1'),
    ('A11', 'Estante 1, nivel 1'),
    ('A2', 'Estantería 2'),
    ('B', 'Taller');

INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES
    ('1', 'Administración'),
    ('2', 'Servicio técnico'),
    ('21', 'Servicio técnico: refrigeración'),
    ('22', 'Servicio técnico: hidráulica');

INSERT INTO V_TA_Tareas (IdTarea, Descripcion) VALUES
    (STR(1, 4), 'Mantenimiento preventivo'),
    (STR(2, 4), 'Reparación correctiva'),
    (STR(3, 4), 'Instalación'),
    (STR(4, 4), 'Inspección reglamentaria');
