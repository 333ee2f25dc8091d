-- HISTORIAL: the customs declaration database (the official declarations as lodged, their
-- liquidation, the exchange bookkeeping of this program and the code-mapping relations).
--
-- Column types follow the conversions SQL Server makes for the statements of the program:
-- item numbers compared both quoted and unquoted are INTEGER, four-digit codes compared only
-- quoted are TEXT, amounts are REAL, dates are TEXT 'yyyy-mm-dd hh:mm:ss' (or 'yyyy-mm-dd'),
-- and key texts compare without regard to case.

-- Stored procedures of this database: one SELECT per procedure, run by `exec NAME args`.
CREATE TABLE b2d_procedures (
    name TEXT PRIMARY KEY COLLATE NOCASE,
    body TEXT NOT NULL
);

-- Version of the exchange database, checked at start-up.
INSERT INTO b2d_procedures (name, body) VALUES ('versionbd', 'SELECT ''2.04'' AS Version');

-- Header row of each declaration (or licence), keyed by its number. The xml_* columns remember
-- what the operator answered; Xml_Procesado, Xml_B2DFile and Xml_Enviado record generation and
-- hand-off. A number may appear twice: nothing forbids it in the customs-management system.
CREATE TABLE CARATULA_CARATULA (
    DESPACHO              TEXT COLLATE NOCASE NOT NULL,
    DESTINACION           TEXT,
    COD_ADUANA            TEXT,
    IDENTIFICADOR_PROPIO  TEXT COLLATE NOCASE,
    FECHA_OFICIALIZACION  TEXT,
    ESTADO_DECLARACION    TEXT,
    MEDIO_TRANSPORTE      TEXT,
    CONDICION_VENTA       TEXT,
    DIVISA_FOB            TEXT,
    DIVISA_FLETE          TEXT,
    DIVISA_SEGURO         TEXT,
    MONTO_FOB             REAL,
    MONTO_FLETE           REAL,
    MONTO_SEGURO          REAL,
    BASE_IMPONIBLE        REAL,
    COTIZACION_PAGOS      REAL,
    PESO_BRUTO_BULTOS     REAL,
    xml_ProcessRC         TEXT,
    xml_Canal             TEXT,
    xml_FechaLIB          TEXT,
    xml_FechaCumplido     TEXT,
    xml_FechaPago         TEXT,
    Xml_Procesado         TEXT,
    Xml_B2DFile           TEXT,
    Xml_Enviado           TEXT
);
CREATE INDEX CARATULA_CARATULA_DESPACHO ON CARATULA_CARATULA (DESPACHO);
CREATE INDEX CARATULA_CARATULA_FECHA ON CARATULA_CARATULA (FECHA_OFICIALIZACION);

-- Duties and taxes liquidated for the whole declaration, one row per concept.
CREATE TABLE CARATULA_LIQUIDACIONES (
    IDN_DESPACHO     TEXT COLLATE NOCASE NOT NULL,
    CODIGO_CONCEPTO  TEXT COLLATE NOCASE NOT NULL,
    MONTO_CONCEPTO   REAL,
    TIPO_OBLIGACION  TEXT
);
CREATE INDEX CARATULA_LIQUIDACIONES_DESPACHO ON CARATULA_LIQUIDACIONES (IDN_DESPACHO);

-- Split of the gross-income tax (concept 900) among jurisdictions.
CREATE TABLE CARATULA_INGRESOS_BRUTOS (
    IDN_DESPACHO       TEXT COLLATE NOCASE NOT NULL,
    JURISDICCION       TEXT COLLATE NOCASE NOT NULL,
    PORC_DISTRIBUCION  REAL
);
CREATE INDEX CARATULA_INGRESOS_BRUTOS_DESPACHO ON CARATULA_INGRESOS_BRUTOS (IDN_DESPACHO);

-- Documents of the declaration; Codigo 'FACTURACOMERCIAL' marks the commercial invoices.
CREATE TABLE CARATULA_DOCUMENTOS (
    IDN_DESPACHO  TEXT COLLATE NOCASE NOT NULL,
    Codigo        TEXT COLLATE NOCASE,
    REFERENCIA    TEXT
);
CREATE INDEX CARATULA_DOCUMENTOS_DESPACHO ON CARATULA_DOCUMENTOS (IDN_DESPACHO);

-- Items (tariff lines) of a declaration. NRO_ITEM is the four-digit item number ('0001');
-- EXISTENCIA_SUBITEM 'S' marks an item with subitems; DECLARACION_A_CANCELAR and
-- NRO_ITEM_A_CANCELAR name the licence item that an import item cancels.
CREATE TABLE ITEMS_ARTICULOS (
    IDN_DESPACHO            TEXT COLLATE NOCASE NOT NULL,
    NRO_ITEM                TEXT NOT NULL,
    POSICION_ARANCELARIA    TEXT,
    CANTIDAD_ESTADISTICA    REAL,
    UNIDAD_ESTADISTICA      TEXT,
    CANTIDAD_DECLARADA      REAL,
    UNIDAD_DECLARADA        TEXT,
    PRECIO_UNITARIO         REAL,
    MONTO_FOB_DIV           REAL,
    MONTO_FOB_DOL           REAL,
    MONTO_FLETE             REAL,
    MONTO_SEGURO            REAL,
    BASE_IMPONIBLE_DIV      REAL,
    BASE_IMPONIBLE_DOL      REAL,
    AJUSTE_A_INCLUIR        REAL,
    AJUSTE_A_DEDUCIR        REAL,
    PESO_NETO_KGR           REAL,
    EXISTENCIA_SUBITEM      TEXT,
    DECLARACION_A_CANCELAR  TEXT COLLATE NOCASE,
    NRO_ITEM_A_CANCELAR     TEXT,
    PAIS_ORIGEN             TEXT,
    PAIS_PROCEDENCIA        TEXT,
    ESTADO_MERCADERIA       TEXT
);
CREATE INDEX ITEMS_ARTICULOS_DESPACHO ON ITEMS_ARTICULOS (IDN_DESPACHO, NRO_ITEM);

-- Official subitems of each item; an item without subitems has one row numbered '0000'.
-- REFERENCIA is the licence subitem the subitem cancels.
CREATE TABLE ITEMS_SUBITEMS (
    IDN_DESPACHO        TEXT COLLATE NOCASE NOT NULL,
    IDN_ITEM            INTEGER NOT NULL,
    NRO_SUBITEM         TEXT NOT NULL,
    CANTIDAD_DECLARADA  REAL,
    PRECIO_UNITARIO     REAL,
    MONTO_FOB           REAL,
    MONTO_FOB_DOL       REAL,
    SUFIJOS_DE_VALOR    TEXT,
    REFERENCIA          TEXT,
    INDICADOR_PROPIO    TEXT
);
CREATE INDEX ITEMS_SUBITEMS_DESPACHO ON ITEMS_SUBITEMS (IDN_DESPACHO, IDN_ITEM);

-- Duties and taxes liquidated per item.
CREATE TABLE ITEMS_LIQUIDACION_ITEM (
    IDN_DESPACHO     TEXT COLLATE NOCASE NOT NULL,
    IDN_ITEM         INTEGER NOT NULL,
    CODIGO_CONCEPTO  TEXT COLLATE NOCASE NOT NULL,
    MONTO_CONCEPTO   REAL,
    BASE_IMPONIBLE   REAL,
    COEFICIENTE      REAL,
    TIPO_OBLIGACION  TEXT
);
CREATE INDEX ITEMS_LIQUIDACION_ITEM_DESPACHO ON ITEMS_LIQUIDACION_ITEM (IDN_DESPACHO, IDN_ITEM);

-- Complementary information of an item by code (BANCOSARGENTINA, DJAI-FECHA-EMBAR, ...).
CREATE TABLE ITEMS_INFORMACION_COMPLEMENTARIAS (
    IDN_DESPACHO  TEXT COLLATE NOCASE NOT NULL,
    IDN_ITEM      INTEGER NOT NULL,
    Codigo        TEXT COLLATE NOCASE NOT NULL,
    Valor         TEXT
);
CREATE INDEX ITEMS_INFORMACION_COMPLEMENTARIAS_DESPACHO
    ON ITEMS_INFORMACION_COMPLEMENTARIAS (IDN_DESPACHO, IDN_ITEM);

-- Duty concepts: code and short name.
CREATE TABLE TAX (
    CTAX     TEXT COLLATE NOCASE PRIMARY KEY,
    LTAXABR  TEXT
);

-- Jurisdictions of the gross-income tax: number, external concept code and province name.
CREATE TABLE JRD (
    JRDNRO  TEXT COLLATE NOCASE PRIMARY KEY,
    JRDEXT  TEXT COLLATE NOCASE,
    JRDPRV  TEXT
);

-- Exchange rate recorded per currency and declaration ('0' followed by the rate).
CREATE TABLE Despacho_TiposCambio (
    Moneda    TEXT COLLATE NOCASE NOT NULL,
    Despacho  TEXT COLLATE NOCASE NOT NULL,
    Valor     TEXT
);

-- Duty concept code as stored -> concept code to write.
CREATE TABLE RelacionConceptos (
    RelacionOrigen   TEXT COLLATE NOCASE,
    RelacionDestino  TEXT
);

-- SIM currency code -> ISO currency code.
CREATE TABLE RelacionMonedas (
    IDSIM        TEXT COLLATE NOCASE,
    IDISO        TEXT COLLATE NOCASE,
    Descripcion  TEXT
);

-- SIM country code -> ISO country code.
CREATE TABLE RelacionPaises (
    IDSIM        TEXT COLLATE NOCASE,
    IDISO        TEXT COLLATE NOCASE,
    Descripcion  TEXT
);

-- Other translations grouped by type (Tipo 'Canal': declaration channel letters).
CREATE TABLE RelacionVarios (
    Tipo          TEXT COLLATE NOCASE,
    ValorOrigen   TEXT COLLATE NOCASE,
    ValorDestino  TEXT COLLATE NOCASE
);
