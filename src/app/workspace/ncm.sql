-- NCM: the tariff nomenclature. Columns are named by number: [001] the first ten characters of
-- the tariff position (8471.30.12), [002] its three-character suffix (100), [003] the check
-- character (A); [004], [005], [006] and [010] hold the parts of the description.

-- Stored procedures of this database (none are used; the table keeps every entity alike).
CREATE TABLE b2d_procedures (
    name TEXT PRIMARY KEY COLLATE NOCASE,
    body TEXT NOT NULL
);

-- The tariff positions and their descriptions.
CREATE TABLE ncm (
    [001]  TEXT NOT NULL,
    [002]  TEXT NOT NULL,
    [003]  TEXT NOT NULL,
    [004]  TEXT,
    [005]  TEXT,
    [006]  TEXT,
    [010]  TEXT,
    PRIMARY KEY ([001], [002], [003])
);
