-- Demo operations (INTERNOS): the internos behind the demo declarations, their article lines,
-- groupings, parties and code tables. Placeholders as in the HISTORIAL demo data.

INSERT INTO aduana (Id, descripcion) VALUES
    ('001', 'BUENOS AIRES'),
    ('033', 'EZEIZA'),
    ('073', 'CORDOBA');

INSERT INTO ORG (ORI, PAI) VALUES
    ('200', 'ARGENTINA'),
    ('203', 'BRASIL'),
    ('212', 'ESTADOS UNIDOS'),
    ('310', 'CHINA'),
    ('438', 'ALEMANIA'),
    ('444', 'ITALIA');

INSERT INTO Caratula (Interno, cuitdespaduana) VALUES
    ('26-0377', '20184512347'),
    ('26-0398', '20184512347'),
    ('26-0405', '20184512347'),
    ('26-0412', '20184512347'),
    ('26-0415', '20184512347'),
    ('26-0417', '20184512347'),
    ('26-0420', '20184512347'),
    ('DI-0415', '20184512347');

INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES
    ('26-0377', 'HAWB-53001'),
    ('26-0398', 'DJAI-0398'),
    ('26-0405', 'BKG-76980'),
    ('26-0412', 'HAWB-55120'),
    ('26-0415', 'DI-0415'),
    ('26-0417', 'HBL-HAM-44120'),
    ('26-0420', 'BKG-77120');

-- ---- Article lines per interno, item and subitem ------------------------------------------------

INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, Descripcion, Cantidad, Otros,
    Factura_Nro, CodArtAlternativo, IDEXT, Sufijos)
VALUES
    -- 26-0412: two notebooks behind item 1, the charger behind item 2
    (1, '26-0412', '0001', '0000', 'NB-14-PRO', 'Notebook 14 pulgadas Core i7, 16GB', 25,
     'ITR-88410', 'INV-SZ-20931', NULL, 1, 'AA(BRIGHTWAY) AB(BW-NB) AC(NOTEBOOK)'),
    (2, '26-0412', '0001', '0000', 'NB-15-STD', 'Notebook 15 pulgadas Core i5, 8GB', 15,
     'ITR-88411', 'INV-SZ-20931', 'BW15-STD-8', 2, 'AA(BRIGHTWAY) AB(BW-NB) AC(NOTEBOOK)'),
    (3, '26-0412', '0002', '0000', 'ADP-65W', 'Cargador USB-C 65W', 40,
     'ITR-88412', 'INV-SZ-20934', NULL, 1, 'AA(BRIGHTWAY) AB(ADP-65W)'),
    -- 26-0415: the DI of the smartphones; two colours behind subitem 1
    (1, '26-0415', '0001', '0001', 'PH-A52-BLK', 'Smartphone Nexa A52 128GB negro', 120,
     'LIC-ITR-7001', 'NX-INV-7781', 'NX-A52-B', 1, 'AA(NEXA) AB(A52) AC(128GB)'),
    (2, '26-0415', '0001', '0001', 'PH-A52-BLU', 'Smartphone Nexa A52 128GB azul', 80,
     'LIC-ITR-7002', 'NX-INV-7781', 'NX-A52-U', 2, 'AA(NEXA) AB(A52) AC(128GB)'),
    (3, '26-0415', '0001', '0002', 'PH-A72-GRY', 'Smartphone Nexa A72 256GB gris', 100,
     'LIC-ITR-7003', 'NX-INV-7781', NULL, 3, 'AA(NEXA) AB(A72) AC(256GB)'),
    -- 26-0417: pumps (two models grouped under subitem 1) and screws
    (1, '26-0417', '0001', '0001', 'PMP-CN-40', 'Bomba centrifuga CN-40, 4 kW', 6,
     'KS-ITR-901', 'RE-2026-00412', 'KS-CN40', 1, 'AA(KESSLER) AB(CN)'),
    (2, '26-0417', '0001', '0001', 'PMP-CN-50', 'Bomba centrifuga CN-50, 5,5 kW', 4,
     'KS-ITR-902', 'RE-2026-00412', 'KS-CN50', 2, 'AA(KESSLER) AB(CN)'),
    (3, '26-0417', '0001', '0002', 'PMP-HD-80', 'Bomba de alta presion HD-80', 4,
     'KS-ITR-903', 'RE-2026-00412', NULL, 3, 'AA(KESSLER) AB(HD-80)'),
    (4, '26-0417', '0002', '0000', 'TORN-M8', 'Tornillos, tuercas y arandelas M8 (acero zincado)', 5000,
     'KS-ITR-904', 'RE-2026-00413', NULL, 1, 'AA(S/M) AB(M8)'),
    -- 26-0420: wines (two vintages grouped under subitem 1) and olive oil
    (1, '26-0420', '0001', '0001', 'MAL-RES-2022', 'Vino Malbec Reserva 2022 750 ml', 800,
     'NW-ITR-301', 'E-0003-00001452', NULL, 1, 'AA(LOS ALGARROBOS) AB(MALBEC RESERVA)'),
    (2, '26-0420', '0001', '0001', 'MAL-RES-2021', 'Vino Malbec Reserva 2021 750 ml', 400,
     'NW-ITR-302', 'E-0003-00001452', NULL, 2, 'AA(LOS ALGARROBOS) AB(MALBEC RESERVA)'),
    (3, '26-0420', '0001', '0002', 'CAB-2023', 'Vino Cabernet Sauvignon 2023 750 ml', 600,
     'NW-ITR-303', 'E-0003-00001452', 'NW-CAB-23', 3, 'AA(LOS ALGARROBOS) AB(CABERNET)'),
    (4, '26-0420', '0002', '0000', 'OLV-EV-500', 'Aceite de oliva virgen extra 500 ml', 960,
     'NW-ITR-304', 'E-0003-00001452', NULL, 4, 'AA(LOS ALGARROBOS) AB(AOVE 500ML)'),
    -- 26-0398: the licence's articles, matched by the subitem's value suffixes
    (1, '26-0398', '0001', '0001', 'PH-A52-BLK', 'Smartphone Nexa A52 128GB negro', 120,
     'LIC-ITR-7001', 'NX-PRO-7702', 'NX-A52-B', 1, 'AA(NEXA) AB(A52) AC(128GB)'),
    (2, '26-0398', '0001', '0001', 'PH-A52-BLU', 'Smartphone Nexa A52 128GB azul', 80,
     'LIC-ITR-7002', 'NX-PRO-7702', 'NX-A52-U', 2, 'AA(NEXA) AB(A52) AC(128GB)'),
    (3, '26-0398', '0001', '0002', 'PH-A72-GRY', 'Smartphone Nexa A72 256GB gris', 100,
     'LIC-ITR-7003', 'NX-PRO-7702', NULL, 3, 'AA(NEXA) AB(A72) AC(256GB)'),
    (4, '26-0398', '0002', '0000', 'BUDS-2-WHT', 'Auriculares Nexa Buds 2 blancos', 500,
     'LIC-ITR-7004', 'NX-PRO-7702', NULL, 4, 'AA(NEXA) AB(BUDS2)'),
    -- the earlier operations
    (1, '26-0377', '0001', '0000', 'KB-200', 'Teclado USB espanol KB-200', 120,
     'ITR-87001', 'INV-SZ-20410', NULL, 1, 'AA(BRIGHTWAY) AB(KB-200)'),
    (1, '26-0405', '0001', '0000', 'MAL-CLA-2023', 'Vino Malbec Clasico 2023 750 ml', 1200,
     'NW-ITR-288', 'E-0003-00001437', NULL, 1, 'AA(LOS ALGARROBOS) AB(MALBEC CLASICO)');

-- ---- Groupings of the articles into the official subitems ------------------------------------

INSERT INTO GroupSubitems (INTERNO, ID, NROSUBITEM, CANTIDAD, FOB, IdArticulo, Descripcion, Sufijos)
VALUES
    ('26-0412', 1, '0000', 40, 24500.00, 'NB-14-PRO', 'Notebooks', 'AA(BRIGHTWAY) AB(BW-NB) AC(NOTEBOOK)'),
    ('26-0412', 2, '0000', 40, 750.00, 'ADP-65W', 'Cargadores', 'AA(BRIGHTWAY) AB(ADP-65W)'),
    ('26-0415', 1, '0001', 200, 34000.00, 'PH-A52', 'Smartphones A52', 'AA(NEXA) AB(A52) AC(128GB)'),
    ('26-0415', 1, '0002', 100, 20000.00, 'PH-A72', 'Smartphones A72', 'AA(NEXA) AB(A72) AC(256GB)'),
    ('26-0417', 1, '0001', 10, 12500.00, 'PMP-CN', 'Bombas centrifugas', 'AA(KESSLER) AB(CN)'),
    ('26-0417', 1, '0002', 4, 8400.00, 'PMP-HD-80', 'Bombas de alta presion', 'AA(KESSLER) AB(HD-80)'),
    ('26-0417', 2, '0000', 5000, 2100.00, 'TORN-M8', 'Tornillos, tuercas y arandelas', 'AA(S/M) AB(M8)'),
    ('26-0420', 1, '0001', 1200, 11400.00, 'MAL-RES', 'Malbec Reserva', 'AA(LOS ALGARROBOS) AB(MALBEC RESERVA)'),
    ('26-0420', 1, '0002', 600, 4800.00, 'CAB-2023', 'Cabernet Sauvignon', 'AA(LOS ALGARROBOS) AB(CABERNET)'),
    ('26-0420', 2, '0000', 960, 6000.00, 'OLV-EV-500', 'Aceite de oliva', 'AA(LOS ALGARROBOS) AB(AOVE 500ML)'),
    ('26-0377', 1, '0000', 120, 3600.00, 'KB-200', 'Teclados', 'AA(BRIGHTWAY) AB(KB-200)'),
    ('26-0405', 1, '0000', 1200, 9600.00, 'MAL-CLA-2023', 'Malbec Clasico', 'AA(LOS ALGARROBOS) AB(MALBEC CLASICO)'),
    -- the licence's grouping keeps the value suffixes as lodged, out of canonical order
    ('26-0398', 1, '0001', 200, 34000.00, 'PH-A52', 'Smartphones A52', 'AC(128GB) AA(NEXA) AB(A52)'),
    ('26-0398', 1, '0002', 100, 20000.00, 'PH-A72', 'Smartphones A72', 'AB(A72) AA(NEXA) AC(256GB)'),
    ('26-0398', 2, '0000', 500, 6000.00, 'BUDS-2', 'Auriculares Buds 2', 'AB(BUDS2) AA(NEXA)');

-- ---- Documents loaded under an interno ---------------------------------------------------------
-- DI-0415 holds the DI of 26001IC04000131C: each line names the licence item and subitem it
-- cancels. 26-0415 holds the licence lines of the same articles (same article numbers,
-- quantities and order lines).

INSERT INTO ART (INTNRO, ARTORD, artNRO, ART_ITS, ARTNRO2, ARTDSC, artCAN, ARTFAC,
    itemReferenceCode, dvn_orderitemitemnumber, dvn_orderitemordernumber, DECLARACION_CANCELA,
    ITEM_CANCELA, SUBITEM_CANCELA)
VALUES
    ('DI-0415', 1, 'PH-A52-BLK', 'A52-BLK', 'NX-A52-B', 'Smartphone Nexa A52 128GB negro', 120,
     'NX-INV-7781', 'DVN-ITR-5501', '10', 'PO-2026-0315', '26001DJAI000007K', '0001', '0001'),
    ('DI-0415', 2, 'PH-A52-BLU', 'A52-BLU', 'NX-A52-U', 'Smartphone Nexa A52 128GB azul', 80,
     'NX-INV-7781', 'DVN-ITR-5502', '20', 'PO-2026-0315', '26001DJAI000007K', '0001', '0001'),
    ('DI-0415', 3, 'PH-A72-GRY', 'A72-GRY', NULL, 'Smartphone Nexa A72 256GB gris', 100,
     'NX-INV-7781', 'DVN-ITR-5503', '30', 'PO-2026-0315', '26001DJAI000007K', '0001', '0002'),
    ('26-0415', 1, 'PH-A52-BLK', NULL, 'NX-A52-B', 'Smartphone Nexa A52 128GB negro', 120,
     'NX-PRO-7702', 'LIC-ITR-7001', '10', 'PO-2026-0315', NULL, NULL, NULL),
    ('26-0415', 2, 'PH-A52-BLU', NULL, 'NX-A52-U', 'Smartphone Nexa A52 128GB azul', 80,
     'NX-PRO-7702', 'LIC-ITR-7002', '20', 'PO-2026-0315', NULL, NULL, NULL),
    ('26-0415', 3, 'PH-A72-GRY', NULL, NULL, 'Smartphone Nexa A72 256GB gris', 100,
     'NX-PRO-7702', 'LIC-ITR-7003', '30', 'PO-2026-0315', NULL, NULL, NULL);

-- ---- Parties -----------------------------------------------------------------------------------

INSERT INTO requestentitydvn (INTNRO, ITEMARTID, INVOICENUMBER, entityType, entityReferenceCode,
    entityName, entityCountry, entityAddress, entityCity, entityState, entityPostalCode, entityPhone)
VALUES
    ('26-0412', 0, NULL, 'IMPORTER', '30-71234567-9', 'Andes Tecnología S.A.', 'AR',
     'Av. Corrientes 1234, Piso 8', 'Buenos Aires', 'CABA', 'C1043AAZ', '+54 11 4321-5500'),
    ('26-0412', 0, NULL, 'SUPPLIER', 'CN-91440300', 'Shenzhen Brightway Electronics Co., Ltd.', 'CN',
     '88 Keji Road, Nanshan', 'Shenzhen', 'Guangdong', '518057', '+86 755 2690 1100'),
    ('26-0412', 1, 'INV-SZ-20931', 'MANUFACTURER', 'BW-MFG-01', 'Brightway Computing & Devices Ltd.', 'CN',
     '12 Gaoxin Ave', 'Shenzhen', 'Guangdong', '518063', NULL),
    ('26-0412', 2, 'INV-SZ-20931', 'MANUFACTURER', 'LF-MFG-07', 'Lianfa Precision Co.', 'CN',
     '301 Fuhua Road', 'Dongguan', 'Guangdong', '523000', NULL),
    ('26-0412', 1, 'INV-SZ-20934', 'MANUFACTURER', 'PC-MFG-03', 'Power & Cable Works Ltd.', 'CN',
     '5 Industrial Park', 'Huizhou', 'Guangdong', '516000', NULL),

    ('26-0415', 0, NULL, 'IMPORTER', '30-70998877-1', 'Nexa Comunicaciones S.R.L.', 'AR',
     'Av. del Libertador 6550', 'Buenos Aires', 'CABA', 'C1428ARV', '+54 11 5263-9000'),
    ('26-0415', 0, NULL, 'SUPPLIER', 'CN-91310000', 'Nexa Mobile Technology Co., Ltd.', 'CN',
     '1000 Zhangjiang Road', 'Shanghai', 'Shanghai', '201203', '+86 21 5080 1200'),
    ('26-0415', 1, 'NX-INV-7781', 'MANUFACTURER', 'NX-MFG-01', 'Nexa Mobile Technology Co., Ltd.', 'CN',
     '1000 Zhangjiang Road', 'Shanghai', 'Shanghai', '201203', NULL),
    ('26-0415', 3, 'NX-INV-7781', 'MANUFACTURER', 'NX-MFG-02', 'Nexa Mobile & Audio Manufacturing', 'CN',
     '77 Songshan Lake', 'Dongguan', 'Guangdong', '523808', NULL),

    ('26-0417', 0, NULL, 'IMPORTER', '30-65432109-8', 'Hidráulica del Centro S.A.', 'AR',
     'Av. Circunvalación 4020', 'Córdoba', 'Córdoba', 'X5016', '+54 351 475-2200'),
    ('26-0417', 0, NULL, 'SUPPLIER', 'DE-811234567', 'Kessler & Hart Pumpen GmbH', 'DE',
     'Industriestraße 14', 'Hamburg', 'Hamburg', '21107', '+49 40 7531 880'),
    ('26-0417', 1, 'RE-2026-00412', 'MANUFACTURER', 'DE-811234567', 'Kessler & Hart Pumpen GmbH', 'DE',
     'Industriestraße 14', 'Hamburg', 'Hamburg', '21107', NULL),
    ('26-0417', 1, 'RE-2026-00413', 'MANUFACTURER', 'IT-0245871', 'Viteria Lombarda S.p.A.', 'IT',
     'Via Bergamo 41', 'Lecco', 'LC', '23900', NULL),

    ('26-0420', 0, NULL, 'EXPORTER', '30-58761234-5', 'Bodega Los Algarrobos S.A.', 'AR',
     'Ruta 40 km 3245', 'Luján de Cuyo', 'Mendoza', 'M5507', '+54 261 498-0100'),
    ('26-0420', 0, NULL, 'BUYER', 'US-94-3318821', 'Northwind Wine Imports LLC', 'US',
     'Pier 50, Suite 210', 'San Francisco', 'CA', '94158', '+1 415 555 0142'),
    ('26-0420', 0, NULL, 'CONSIGNEE', 'US-94-3318821', 'Northwind Wine Imports LLC', 'US',
     '2200 Harbor Way', 'Oakland', 'CA', '94607', NULL),

    ('26-0398', 0, NULL, 'IMPORTER', '30-70998877-1', 'Nexa Comunicaciones S.R.L.', 'AR',
     'Av. del Libertador 6550', 'Buenos Aires', 'CABA', 'C1428ARV', '+54 11 5263-9000'),
    ('26-0398', 0, NULL, 'SUPPLIER', 'CN-91310000', 'Nexa Mobile Technology Co., Ltd.', 'CN',
     '1000 Zhangjiang Road', 'Shanghai', 'Shanghai', '201203', '+86 21 5080 1200'),
    ('26-0398', 4, 'NX-PRO-7702', 'MANUFACTURER', 'NX-MFG-02', 'Nexa Mobile & Audio Manufacturing', 'CN',
     '77 Songshan Lake', 'Dongguan', 'Guangdong', '523808', NULL),

    ('26-0377', 0, NULL, 'IMPORTER', '30-71234567-9', 'Andes Tecnología S.A.', 'AR',
     'Av. Corrientes 1234, Piso 8', 'Buenos Aires', 'CABA', 'C1043AAZ', '+54 11 4321-5500'),
    ('26-0377', 0, NULL, 'SUPPLIER', 'CN-91440300', 'Shenzhen Brightway Electronics Co., Ltd.', 'CN',
     '88 Keji Road, Nanshan', 'Shenzhen', 'Guangdong', '518057', '+86 755 2690 1100'),

    ('26-0405', 0, NULL, 'EXPORTER', '30-58761234-5', 'Bodega Los Algarrobos S.A.', 'AR',
     'Ruta 40 km 3245', 'Luján de Cuyo', 'Mendoza', 'M5507', '+54 261 498-0100'),
    ('26-0405', 0, NULL, 'BUYER', 'DE-129876543', 'Alpenkeller Weinhandel GmbH', 'DE',
     'Leopoldstraße 88', 'München', 'Bayern', '80802', '+49 89 3302 1170');
