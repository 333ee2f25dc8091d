-- Operations behind the golden documents (INTERNOS), loaded over the workspace schema.
-- UTF-8 text.

INSERT INTO aduana (Id, descripcion) VALUES
    ('001', 'BUENOS AIRES');

INSERT INTO Caratula (Interno, cuitdespaduana) VALUES
    ('19-0412', '20184512347'),
    ('19/0420', '30712345678'),
    ('19/0433', '30712345678'),
    ('19-0499', '27111111114');

INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES
    ('19-0412', 'HBL-HAM-44120'),
    ('19/0420', 'BKG-77120'),
    ('19/0433', 'BKG-80133'),
    ('19-0499', 'HAWB-60001');

-- Parties. Listed out of identity order on purpose: the file lists them by RequestEntityID.
-- Parties of an article line (ITEMARTID > 0) belong to the items, not to the header.
INSERT INTO requestentitydvn (RequestEntityID, INTNRO, ITEMARTID, INVOICENUMBER, entityType,
    entityReferenceCode, entityName, entityCountry, entityAddress, entityCity, entityState,
    entityPostalCode, entityPhone)
VALUES
    (7, '19-0412', 0, 'RE-2019-00412', 'SUPPLIER', 'DE-HRB-24188', 'Kessler Pumpen GmbH',
     'DE', 'Industriestraße 12 – Halle 3', 'Göppingen', 'Baden-Württemberg', '73033', NULL),
    (3, '19-0412', 0, NULL, 'IMPORTER', '30-70812345-6', 'Pérez & Hijos S.A.',
     'AR', 'Av. Corrientes 1234, piso 5 <of. B>', 'Buenos Aires', 'CABA', 'C1043AAZ',
     '+54 11 4321-0000'),
    (8, '19-0412', 1, 'RE-2019-00412', 'MANUFACTURER', 'DE-HRB-24188', 'Kessler Pumpen Werk 2',
     'DE', 'Werkstraße 1', 'Göppingen', 'Baden-Württemberg', '73035', NULL),
    (9, '19-0412', 2, 'RE-2019-00413''A', 'MANUFACTURER', 'DE-HRB-31077', 'Motoren & Antriebe AG',
     'DE', 'Am Hafen 3', 'Bremen', 'HB', '28217', '+49 421 555'),
    (13, '19-0412', 2, 'RE-2019-00412', 'MANUFACTURER', 'DE-HRB-00000', 'Not an article of item 1',
     'DE', 'x', 'x', 'x', 'x', NULL),
    (12, '19/0420', 0, NULL, 'CONSIGNEE', 'PL5260001234', 'Wina Świata Sp. z o.o.',
     'PL', 'ul. Piotrkowska 120 <lok. 4>', 'Łódź', 'Łódzkie', '90-006', NULL),
    (10, '19/0420', 0, 'E-0003-00001452', 'BUYER', 'DE811234567', 'Weinhandel Müller GmbH',
     'DE', 'Königstraße 5', 'Stuttgart', 'BW', '70173', '+49 711 123456'),
    (11, '19/0420', 0, NULL, 'EXPORTER', '30-71234567-8', 'Bodega Los Algarrobos & Cía. S.A.',
     'AR', 'Ruta 40 km 3.210, Luján de Cuyo', 'Mendoza', 'Mendoza', 'M5507', '+54 261 498-7700'),
    (4, '19-0499', 0, NULL, 'IMPORTER', '30-99999999-1', 'Otro Importador S.R.L.',
     'AR', 'Florida 1', 'Buenos Aires', 'CABA', 'C1005AAA', NULL),
    (21, '19/0433', 0, NULL, 'EXPORTER', '30-71234567-8', 'Bodega Los Algarrobos & Cía. S.A.',
     'AR', 'Ruta 40 km 3.210', 'Mendoza', 'Mendoza', 'M5507', NULL),
    (22, '19/0433', 14, 'E-0003-00001460', 'MANUFACTURER', '30-71234567-8', 'Planta Luján',
     'AR', 'Ruta 7 km 1', 'Mendoza', 'Mendoza', 'M5507', NULL);

-- Article lines per interno, item and subitem (four-digit texts), as the exporter sent them.
-- Within a subitem they are listed in the order the products come out.
INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, Descripcion, Cantidad, Otros,
    Factura_Nro, CodArtAlternativo, IDEXT, Sufijos)
VALUES
    -- 19/0420: two vintages grouped under item 1 subitem 1, one wine under subitem 2, the oil
    -- behind item 2 (an empty alternative code gives an empty part number)
    (1, '19/0420', '0001', '0001', 'MAL-RES-2022', 'Vino Malbec Reserva 2022 750 ml', 800,
     'NW-ITR-301', 'E-0003-00001452', NULL, 1, 'AA(LOS ALGARROBOS) AB(MALBEC RESERVA)'),
    (2, '19/0420', '0001', '0001', 'MAL-RES-2021', 'Vino Malbec Reserva 2021 750 ml', 400,
     'NW-ITR-302', 'E-0003-00001452', 'ALG-MR21', 2, 'AA(LOS ALGARROBOS) AB(MALBEC RESERVA)'),
    (3, '19/0420', '0001', '0002', 'CAB-2023', 'Vino Cabernet Sauvignon 2023 750 ml', 600,
     'NW-ITR-303', 'E-0003-00001452', NULL, 3, 'AA(LOS ALGARROBOS) AB(CABERNET)'),
    (4, '19/0420', '0002', '0000', 'OLV-EV-500', 'Aceite de oliva virgen extra 500 ml', 960,
     'NW-ITR-304', 'E-0003-00001452', '', 1, 'AA(LOS ALGARROBOS) AB(AOVE 500ML)'),
    -- 19/0433: three notebooks behind item 1; item 2 subitem 1 one wine, subitem 2 two; the
    -- cases behind item 3
    (11, '19/0433', '0001', '0000', 'NB-A', 'Notebook modelo A', 2, 'ITR-A', 'E-0003-00001460',
     NULL, 1, 'AA(NORTEK) AB(NB)'),
    (12, '19/0433', '0001', '0000', 'NB-B', 'Notebook modelo B', 3, 'ITR-B', 'E-0003-00001460',
     'ALT-NB-B', 2, 'AA(NORTEK) AB(NB)'),
    (13, '19/0433', '0001', '0000', 'NB-C', 'Notebook C & docking', 5, 'ITR-C', 'E-0003-00001460',
     '', 3, 'AA(NORTEK) AB(NB)'),
    (14, '19/0433', '0002', '0001', 'MAL-GR-2020', 'Malbec Gran Reserva 2020 <750 ml>', 100,
     'NW-ITR-410', 'E-0003-00001460', '', 1, 'AA(LOS ALGARROBOS) AB(MALBEC GRAN RESERVA)'),
    (15, '19/0433', '0002', '0002', 'CAB-2021', 'Cabernet 2021', 120, 'NW-ITR-411',
     'E-0003-00001460', 'ALG-CAB21', 2, 'AA(LOS ALGARROBOS) AB(CABERNET)'),
    (16, '19/0433', '0002', '0002', 'CAB-2022', 'Cabernet 2022', 80, 'NW-ITR-412',
     'E-0003-00001461', NULL, 3, 'AA(LOS ALGARROBOS) AB(CABERNET)'),
    (17, '19/0433', '0003', '0000', 'EST-RIG', 'Estuches rígidos & fundas <PVC>', 4, 'NW-ITR-420',
     'E-0003-00001461', NULL, 1, 'AA(S/M) AB(ESTUCHE)');

-- 19-0412: the two pumps behind item 1 (stored out of reference-code order; the second one's
-- invoice holds a quote), the screws behind item 2. 19-0499's line shares the item number.
INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, Descripcion, Cantidad, Otros,
    Factura_Nro, CodArtAlternativo, IDEXT, Sufijos)
VALUES
    (22, '19-0412', '0001', '0000', 'PMP-CN-50', 'Bomba centrifuga CN-50', 4, 'KS-ITR-902',
     'RE-2019-00413''A', NULL, 2, 'AA(KESSLER) AB(CN)'),
    (21, '19-0412', '0001', '0000', 'PMP-CN-40', 'Bomba centrifuga CN-40 & motor', 6, 'KS-ITR-901',
     'RE-2019-00412', 'KS-CN40', 1, 'AA(KESSLER) AB(CN)'),
    (23, '19-0412', '0002', '0000', 'TORN-M8', 'Tornillos & tuercas M8 <zincado>', 5000,
     'KS-ITR-904', 'RE-2019-00413', NULL, 3, 'AA(S/M) AB(M8)'),
    (24, '19-0499', '0001', '0000', 'NB-X', 'Otro articulo', 50, 'ITR-X', 'INV-SZ-30001', NULL, 1,
     'AA(X) AB(Y)');

-- ---- 19-0440: the operation of 19001IC04000140D, its own process reference code ------------

INSERT INTO Caratula (Interno, cuitdespaduana) VALUES ('19-0440', '20184512347');
INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES ('19-0440', 'HBL-0440');

INSERT INTO requestentitydvn (RequestEntityID, INTNRO, ITEMARTID, INVOICENUMBER, entityType,
    entityReferenceCode, entityName, entityCountry, entityAddress, entityCity, entityState,
    entityPostalCode, entityPhone)
VALUES
    (32, '19-0440', 5, 'RE-2019-00441''B', 'MANUFACTURER', 'DE-811234567', 'Schrauben & Muttern KG',
     'DE', 'Hafenstrasse 2', 'Hamburg', 'HH', '20457', NULL),
    (30, '19-0440', 0, NULL, 'IMPORTER', '30-71112223-4', 'Hidraulica Norte S.A.', 'AR',
     'Av. Colon 1200', 'Cordoba', 'Cordoba', 'X5000', NULL),
    (31, '19-0440', 4, 'RE-2019-00440', 'MANUFACTURER', 'IT-0245871', 'Viteria Lombarda S.p.A.',
     'IT', 'Via Bergamo 41', 'Lecco', 'LC', '23900', '+39 0341 1'),
    (33, '19-0440', 3, 'RE-2019-00440', 'MANUFACTURER', 'DE-HRB-24188', 'Kessler Pumpen Werk 3',
     'DE', 'Werkstrasse 3', 'Goeppingen', 'BW', '73035', NULL);

-- The grouping: item 1's 0002 holds five pumps, the four of official subitem 0002 are its 0003.
INSERT INTO GroupSubitems (INTERNO, ID, NROSUBITEM, CANTIDAD, FOB, IdArticulo, Descripcion, Sufijos)
VALUES
    ('19-0440', 1, '0001', 10, 1000.00, 'PMP-CN', 'Bombas centrifugas', 'AA(KESSLER) AB(CN)'),
    ('19-0440', 1, '0002', 5, 1250.00, 'PMP-XL', 'Bombas XL', 'AA(KESSLER) AB(XL)'),
    ('19-0440', 1, '0003', 4, 1000.00, 'PMP-HD-80', 'Bombas de alta presion', 'AA(KESSLER) AB(HD-80)'),
    ('19-0440', 2, '0000', 1000, 1000.00, 'TORN-M8', 'Tornillos', 'AA(S/M) AB(M8)');

INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, Descripcion, Cantidad, Otros,
    Factura_Nro, CodArtAlternativo, IDEXT, Sufijos)
VALUES
    (41, '19-0440', '0001', '0001', 'PMP-CN-40', 'Bomba centrifuga CN-40', 6, 'KS-ITR-411',
     'RE-2019-00440', 'KS-CN40', 1, 'AA(KESSLER) AB(CN)'),
    (42, '19-0440', '0001', '0001', 'PMP-CN-50', 'Bomba centrifuga CN-50', 4, 'KS-ITR-412',
     'RE-2019-00440', NULL, 2, 'AA(KESSLER) AB(CN)'),
    (43, '19-0440', '0001', '0002', 'PMP-XL-90', 'Bomba XL-90', 5, 'KS-ITR-419',
     'RE-2019-00440', NULL, 6, 'AA(KESSLER) AB(XL)'),
    (44, '19-0440', '0001', '0003', 'PMP-HD-80', 'Bomba de alta presion HD-80 & kit', 4,
     'KS-ITR-413', 'RE-2019-00440', NULL, 3, 'AA(KESSLER) AB(HD-80)'),
    (45, '19-0440', '0002', '0000', 'TORN-M8-I', 'Tornillos M8 inoxidables', 400, 'KS-ITR-422',
     'RE-2019-00441''B', 'M8-INOX', 5, 'AA(S/M) AB(M8)'),
    (46, '19-0440', '0002', '0000', 'TORN-M8-Z', 'Tornillos M8 zincados', 600, 'KS-ITR-421',
     'RE-2019-00440', NULL, 4, 'AA(S/M) AB(M8)');

-- ---- 19-0450 and DI-0450: the operation of 19001IC04000150F and its DI ----------------------
-- The DI's article lines (DI-0450) name the licence item and subitem each cancels ('0000': the
-- whole item); a line cancelling another licence must stay out. The licence's own lines are
-- under the broker's interno, grouped as the licence's subitems.

INSERT INTO Caratula (Interno, cuitdespaduana) VALUES ('19-0450', '20184512347'),
    ('DI-0450', '20184512347');
INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES ('19-0450', 'HBL-0450');

INSERT INTO ART (INTNRO, ARTORD, artNRO, ART_ITS, ARTNRO2, ARTDSC, artCAN, ARTFAC,
    itemReferenceCode, dvn_orderitemitemnumber, dvn_orderitemordernumber, DECLARACION_CANCELA,
    ITEM_CANCELA, SUBITEM_CANCELA)
VALUES
    ('DI-0450', 1, 'NB14-I5', 'NB14', 'NTK-14-I5', 'Notebook 14 i5', 12, 'NTK-INV-88',
     'DVN-ITR-801', '10', 'PO-450', '19001DJAI000010K', '0001', '0001'),
    ('DI-0450', 2, 'NB14-I7', NULL, NULL, 'Notebook 14 i7 & dock', 8, 'NTK-INV-88',
     'DVN-ITR-802', '20', 'PO-450', '19001DJAI000010K', '0001', '0001'),
    ('DI-0450', 3, 'NB15-I7', NULL, 'NTK-15', 'Notebook 15 i7 <32GB>', 10, 'NTK-INV-88',
     'DVN-ITR-803', '30', 'PO-450', '19001DJAI000010K', '0001', '0002'),
    ('DI-0450', 4, 'SCR-M6', NULL, NULL, 'Tornillos M6', 2000, 'NTK-INV-89',
     'DVN-ITR-804', '40', 'PO-451', '19001DJAI000010K', '0002', '0000'),
    ('DI-0450', 5, 'NB14-I3', NULL, NULL, 'Notebook 14 i3', 5, 'NTK-INV-90',
     'DVN-ITR-899', '50', 'PO-452', '19001DJAI000099Z', '0001', '0001'),
    ('19-0450', 1, 'NB14-I5', NULL, 'NTK-14-I5', 'Notebook 14 i5', 12, 'NTK-PRO-1',
     'LIC-ITR-801', '10', 'PO-450', NULL, NULL, NULL),
    ('19-0450', 2, 'NB14-I7', NULL, NULL, 'Notebook 14 i7 & dock', 8, 'NTK-PRO-1',
     'LIC-ITR-802', '20', 'PO-450', NULL, NULL, NULL),
    ('19-0450', 3, 'NB15-I7', NULL, 'NTK-15', 'Notebook 15 i7 <32GB>', 10, 'NTK-PRO-1',
     'LIC-ITR-803', '30', 'PO-450', NULL, NULL, NULL),
    ('19-0450', 4, 'SCR-M6', NULL, NULL, 'Tornillos M6', 2000, 'NTK-PRO-1',
     'LIC-ITR-804', '40', 'PO-451', NULL, NULL, NULL);

INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, Descripcion, Cantidad, Otros,
    Factura_Nro, CodArtAlternativo, IDEXT, Sufijos)
VALUES
    (51, '19-0450', '0001', '0001', 'NB14-I5', 'Notebook 14 i5', 12, 'LIC-ITR-801', 'NTK-PRO-1',
     'NTK-14-I5', 1, 'AA(NORTEK) AB(NB14)'),
    (52, '19-0450', '0001', '0001', 'NB14-I7', 'Notebook 14 i7 & dock', 8, 'LIC-ITR-802',
     'NTK-PRO-1', NULL, 2, 'AA(NORTEK) AB(NB14)'),
    (53, '19-0450', '0001', '0002', 'NB15-I7', 'Notebook 15 i7 <32GB>', 10, 'LIC-ITR-803',
     'NTK-PRO-1', 'NTK-15', 3, 'AA(NORTEK) AB(NB15)'),
    (54, '19-0450', '0002', '0000', 'SCR-M6', 'Tornillos M6', 2000, 'LIC-ITR-804', 'NTK-PRO-1',
     NULL, 4, 'AA(S/M) AB(M6)');

-- Under REQDIIMPO the declaration's parties are those of the DI's interno.
INSERT INTO requestentitydvn (RequestEntityID, INTNRO, ITEMARTID, INVOICENUMBER, entityType,
    entityReferenceCode, entityName, entityCountry, entityAddress, entityCity, entityState,
    entityPostalCode, entityPhone)
VALUES
    (41, '19-0450', 0, NULL, 'IMPORTER', '30-70555444-3', 'Not the DI party', 'AR', 'x', 'x', 'x',
     'x', NULL),
    (40, 'DI-0450', 0, NULL, 'IMPORTER', '30-70555444-3', 'Nortek Argentina S.A.', 'AR',
     'Av. Belgrano 350', 'Buenos Aires', 'CABA', 'C1092AAO', '+54 11 4000-1000');
