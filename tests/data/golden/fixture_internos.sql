-- Operations behind the golden documents (INTERNOS), loaded over the workspace schema.
-- UTF-8 text.

INSERT INTO aduana (Id, descripcion) VALUES
    ('001', 'BUENOS AIRES');

INSERT INTO Caratula (Interno, cuitdespaduana) VALUES
    ('19-0412', '20184512347'),
    ('19/0420', '30712345678'),
    ('19-0499', '27111111114');

INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES
    ('19-0412', 'HBL-HAM-44120'),
    ('19/0420', 'BKG-77120'),
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
     'AR', 'Florida 1', 'Buenos Aires', 'CABA', 'C1005AAA', NULL);
