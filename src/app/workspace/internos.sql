-- INTERNOS: the operations database of the customs-management system (each operation under the
-- broker's internal number, the interno), with the article lines the importer or exporter sent,
-- their grouping into the official subitems, the parties, and the small code tables.
--
-- The HISTORIAL database is reachable from here under its entity name (HISTORIAL.CARATULA_CARATULA).

-- Stored procedures of this database: one SELECT per procedure, run by `exec NAME args`.
CREATE TABLE b2d_procedures (
    name TEXT PRIMARY KEY COLLATE NOCASE,
    body TEXT NOT NULL
);

-- The operations list: the declarations made official between ?1 and ?2 (texts 'dd/mm/yyyy',
-- both days included), by official date when ?3 is 0 and by interno when it is 1. Columns:
-- declaration number, official date, subregime, interno, destination interno (the process
-- reference code), stored file name, processing date, sending date.
INSERT INTO b2d_procedures (name, body) VALUES ('sp_Traer_Internos_VelmoraB2D',
'SELECT c.DESPACHO AS NroDeclaracion,
        c.FECHA_OFICIALIZACION AS FechaOficializacion,
        UPPER(SUBSTR(c.DESPACHO, 6, 4)) AS Subregimen,
        c.IDENTIFICADOR_PROPIO AS Interno,
        c.xml_ProcessRC AS InternoDestino,
        c.Xml_B2DFile AS Xml_B2DFile,
        c.Xml_Procesado AS Xml_Procesado,
        c.Xml_Enviado AS Xml_Enviado
   FROM HISTORIAL.CARATULA_CARATULA c
  WHERE DATE(c.FECHA_OFICIALIZACION)
        BETWEEN SUBSTR(?1, 7, 4) || ''-'' || SUBSTR(?1, 4, 2) || ''-'' || SUBSTR(?1, 1, 2)
            AND SUBSTR(?2, 7, 4) || ''-'' || SUBSTR(?2, 4, 2) || ''-'' || SUBSTR(?2, 1, 2)
  ORDER BY CASE WHEN CAST(?3 AS INTEGER) = 0 THEN c.FECHA_OFICIALIZACION ELSE c.IDENTIFICADOR_PROPIO END,
           c.DESPACHO');

-- Versions of the customs-management system (propiedad 'version': the database version).
CREATE TABLE version (
    propiedad  TEXT COLLATE NOCASE PRIMARY KEY,
    valor      TEXT
);
INSERT INTO version (propiedad, valor) VALUES ('version', '361');

-- Operations of the customs-management system, with the customs agent's CUIT (11 digits).
CREATE TABLE Caratula (
    Interno         TEXT COLLATE NOCASE PRIMARY KEY,
    cuitdespaduana  TEXT
);

-- Operation numbers with the waybill reference code offered as process reference code.
CREATE TABLE IntN (
    Intnro                TEXT COLLATE NOCASE PRIMARY KEY,
    WaybillReferenceCode  TEXT
);

-- Article lines sent by the importer or exporter, grouped by item and subitem of the
-- declaration (NROITEM, NROSUBITEM: four-digit texts). OTROS is the article's product
-- reference code, IDEXT its line number within the order, Sufijos its value suffixes.
CREATE TABLE Subitems (
    ID                 INTEGER,
    Interno            TEXT COLLATE NOCASE NOT NULL,
    NROITEM            TEXT NOT NULL,
    NROSUBITEM         TEXT NOT NULL,
    IdArticulo         TEXT,
    Descripcion        TEXT,
    Cantidad           REAL,
    Otros              TEXT,
    Factura_Nro        TEXT COLLATE NOCASE,
    CodArtAlternativo  TEXT,
    IDEXT              INTEGER,
    Sufijos            TEXT
);
CREATE INDEX Subitems_Interno ON Subitems (Interno, NROITEM, NROSUBITEM);

-- The grouping of an operation's articles into the official subitems: item number (ID),
-- subitem ('0000' for an item without subitems), grouped quantity and FOB.
CREATE TABLE GroupSubitems (
    INTERNO      TEXT COLLATE NOCASE NOT NULL,
    ID           INTEGER NOT NULL,
    NROSUBITEM   TEXT NOT NULL,
    CANTIDAD     REAL,
    FOB          REAL,
    IdArticulo   TEXT,
    Descripcion  TEXT,
    Sufijos      TEXT
);
CREATE INDEX GroupSubitems_Interno ON GroupSubitems (INTERNO, ID);

-- Article lines of the documents loaded under an interno (a DI, a licence). A DI line names
-- the licence, licence item and licence subitem it cancels ('0000': the whole item).
CREATE TABLE ART (
    INTNRO                    TEXT COLLATE NOCASE NOT NULL,
    ARTORD                    INTEGER,
    artNRO                    TEXT COLLATE NOCASE,
    ART_ITS                   TEXT COLLATE NOCASE,
    ARTNRO2                   TEXT,
    ARTDSC                    TEXT,
    artCAN                    REAL,
    ARTFAC                    TEXT,
    itemReferenceCode         TEXT COLLATE NOCASE,
    dvn_orderitemitemnumber   TEXT COLLATE NOCASE,
    dvn_orderitemordernumber  TEXT COLLATE NOCASE,
    DECLARACION_CANCELA       TEXT COLLATE NOCASE,
    ITEM_CANCELA              TEXT,
    SUBITEM_CANCELA           TEXT
);
CREATE INDEX ART_INTNRO ON ART (INTNRO);
-- A DI's lines by the licence item and subitem they cancel, and its lines by reference code: an
-- import asks for them per subitem, so without these a large DI is scanned once per subitem.
CREATE INDEX ART_CANCELA ON ART (INTNRO, ITEM_CANCELA, SUBITEM_CANCELA);
CREATE INDEX ART_REFERENCIA ON ART (INTNRO, itemReferenceCode);

-- Parties of an operation: per interno, article line (ITEMARTID, 0 for the whole operation)
-- and invoice.
CREATE TABLE requestentitydvn (
    RequestEntityID      INTEGER PRIMARY KEY,
    INTNRO               TEXT COLLATE NOCASE NOT NULL,
    ITEMARTID            INTEGER NOT NULL DEFAULT 0,
    INVOICENUMBER        TEXT COLLATE NOCASE,
    entityType           TEXT,
    entityReferenceCode  TEXT,
    entityName           TEXT,
    entityCountry        TEXT,
    entityAddress        TEXT,
    entityCity           TEXT,
    entityState          TEXT,
    entityPostalCode     TEXT,
    entityPhone          TEXT
);
CREATE INDEX requestentitydvn_INTNRO ON requestentitydvn (INTNRO, ITEMARTID);

-- Customs houses: code and name.
CREATE TABLE aduana (
    Id           TEXT COLLATE NOCASE PRIMARY KEY,
    descripcion  TEXT
);

-- Countries: SIM code (ORI) and name (PAI).
CREATE TABLE ORG (
    ORI  TEXT COLLATE NOCASE PRIMARY KEY,
    PAI  TEXT
);
