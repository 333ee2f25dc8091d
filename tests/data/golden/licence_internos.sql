-- Operations behind the golden licence document (INTERNOS), loaded over the workspace schema.
-- UTF-8 text.

INSERT INTO aduana (Id, descripcion) VALUES
    ('001', 'BUENOS AIRES'),
    ('073', 'CORDOBA');

INSERT INTO Caratula (Interno, cuitdespaduana) VALUES
    ('13/0455#2', '20184512347'),
    ('13-0499', '20184512347');

INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES
    ('13/0455#2', 'DJAI-0455'),
    ('13-0499', 'DJAI-0499');

-- Parties listed out of identity order on purpose: the file lists them by RequestEntityID, those
-- of an article line too. 13-0499 is the other licence's interno.
INSERT INTO requestentitydvn (RequestEntityID, INTNRO, ITEMARTID, INVOICENUMBER, entityType,
    entityReferenceCode, entityName, entityCountry, entityAddress, entityCity, entityState,
    entityPostalCode, entityPhone)
VALUES
    (5, '13/0455#2', 0, NULL, 'SUPPLIER', 'CN-91440300', 'Shenzhen Brightway Co., Ltd. – €',
     'CN', '88 Keji Road & Nanshan', 'Shenzhen', 'Guangdong', '518057', '+86 755 2690 1100'),
    (9, '13/0455#2', 1, 'INV-77', 'MANUFACTURER', 'MF-1', 'Brightway Devices', 'CN',
     '12 Gaoxin Ave', 'Shenzhen', 'Guangdong', '518063', NULL),
    (4, '13-0499', 0, NULL, 'IMPORTER', '30-99999999-1', 'Otro Importador S.R.L.', 'AR',
     'Florida 1', 'Buenos Aires', 'CABA', 'C1005AAA', NULL),
    (2, '13/0455#2', 0, NULL, 'IMPORTER', '30-70812345-6', 'Pérez, Juan & Cía', 'AR',
     'Av. Colón 1234 <of. 5>', 'Córdoba', 'Córdoba', 'X5000', NULL);

-- The importer's articles, matched to the licence's subitems by item and value suffixes and
-- listed by their request number (Otros). The articles of subitem 0001 add up to its declared
-- quantity (4 + 6 = 10); those of subitem 0002 do not (3 + 5 against 9).
INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, Descripcion, Cantidad, Otros,
    Factura_Nro, CodArtAlternativo, IDEXT, Sufijos)
VALUES
    (1, '13/0455#2', '0001', '0001', 'NB-14-BLK', 'Notebook 14 negra', 6, 'ITR-102', 'INV-77',
     'BW14-B', 1, 'AA(BRIGHTWAY) AB(BW-NB) AC(14 PULG)'),
    (2, '13/0455#2', '0001', '0001', 'NB-14-SLV', 'Notebook 14 plata', 4, 'ITR-101', 'INV-77',
     NULL, 2, 'AA(BRIGHTWAY) AB(BW-NB) AC(14 PULG)'),
    (3, '13/0455#2', '0001', '0002', 'NB-15-B', 'Notebook 15 B', 5, 'ITR-104', 'INV-77',
     'BW15-B', 3, 'AA(BRIGHTWAY) AB(BW-NB) AC(15 PULG)'),
    (4, '13/0455#2', '0001', '0002', 'NB-15-A', 'Notebook 15 A', 3, 'ITR-103', 'INV-77',
     NULL, 4, 'AA(BRIGHTWAY) AB(BW-NB) AC(15 PULG)'),
    (5, '13/0455#2', '0002', '0000', 'BUDS-2-WHT', 'Auriculares Buds 2', 48, 'ITR-201', 'INV-78',
     'NX-B2', 5, 'AA(NEXA) AB(BUDS2)'),
    (1, '13-0499', '0001', '0000', 'NB-14-BLK', 'Notebook 14 negra', 1, 'ITR-100', 'INV-99',
     NULL, 1, 'AA(BRIGHTWAY) AB(BW-NB) AC(14 PULG)');
