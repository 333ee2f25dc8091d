-- Tariff positions of the golden documents (NCM), loaded over the workspace schema.
-- UTF-8 text. Description parts are trimmed and joined by blanks; a carriage return becomes a
-- blank. 4202.92.00.000X is not in the table.

INSERT INTO ncm ([001], [002], [003], [004], [005], [006], [010]) VALUES
    ('8413.70.10', '100', 'W', 'BOMBAS CENTRIFUGAS', '  MONOCELULARES  ', 'LAS DEMAS',
     'DE CAUDAL <= 300 L/MIN'),
    ('7318.15.00', '900', 'L', 'TORNILLOS Y PERNOS, INCLUSO CON SUS TUERCAS Y ARANDELAS',
     'DE FUNDICION, HIERRO O ACERO', '', ''),
    ('2204.21.00', '100', 'C', 'VINO DE UVAS FRESCAS,' || char(13) || 'INCLUSO ENCABEZADO',
     ' EN RECIPIENTES CON CAPACIDAD INFERIOR O IGUAL A 2 L ', 'VINOS FINOS', ''),
    ('2204.21.00', '900', 'Z', 'LOS DEMAS VINOS', '', '', ''),
    ('1509.20.00', '000', 'K', 'ACEITE DE OLIVA', 'VIRGEN EXTRA', NULL, NULL),
    ('8471.30.12', '100', 'A', 'MAQUINAS AUTOMATICAS PARA PROCESAMIENTO DE DATOS, PORTATILES',
     'DE PESO <= 10 KG', 'PARTES & ACCESORIOS', NULL);
