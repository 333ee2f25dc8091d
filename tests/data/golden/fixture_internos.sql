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
