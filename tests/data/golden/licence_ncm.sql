-- Tariff positions of the golden licence document (NCM). UTF-8 text.

INSERT INTO ncm ([001], [002], [003], [004], [005], [006], [010]) VALUES
    ('8471.30.12', '100', 'A', 'MAQUINAS-AUTOMATICAS', 'P/PROC. DE DATOS', 'PORTATILES, <10 KG',
     'LAS DEMAS'),
    ('8471.30.12', '900', 'B', 'OTRA POSICION', '', '', ''),
    ('8518.30.00', '900', 'Y', 'AURICULARES, INCLUSO COMBINADOS CON MICROFONO', 'INALAMBRICOS', '',
     '');
