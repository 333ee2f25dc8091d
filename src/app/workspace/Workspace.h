#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace b2d {

// The entity names of a workspace, in the order their databases are created:
// HISTORIAL, INTERNOS, NCM.
const QStringList &workspaceEntities();

// The schema of an entity's database, as kept with the program (CREATE statements, the
// stored procedures and the fixed rows such as the database versions).
QString workspaceSchema(const QString &entity);
// The demo data set of an entity (INSERT statements) with its dates placed around `today`.
QString workspaceDemoData(const QString &entity, const QDate &today);
// Replaces the date placeholders of SQL text: {TODAY}, {TODAY-n} and {TODAY+n} become the date
// as yyyy-MM-dd; {TODAY-n:FORMAT} the date written in the Qt date format FORMAT (dd/MM/yyyy).
QString placeDates(const QString &sql, const QDate &today);
// Splits SQL text into its statements at the semicolons that stand outside string literals,
// quoted or bracketed names and comments. Blank statements are dropped.
QStringList splitSqlStatements(const QString &sql);

// The three SQLite databases of a workspace, one file per entity in one folder
// (historial.db, internos.db, ncm.db). Tests and the demo build them from the schema and add
// their own rows; the connections file then points the data access component at them.
// Failures throw B2DError naming the entity, the file and the statement.
class Workspace {
public:
    explicit Workspace(QString folder);

    const QString &folder() const { return m_folder; }
    // The database file of an entity (case-insensitive name).
    QString databaseFile(const QString &entity) const;
    // True when any of the three database files exists.
    bool exists() const;

    // Creates the folder and the three databases from the schema. An existing database file is
    // refused: nothing is created over data.
    void create() const;
    // Runs SQL text (one or more statements) on an entity's database, in one transaction.
    void runSql(const QString &entity, const QString &sql) const;
    // Loads the demo data set, dated around `today`.
    void loadDemoData(const QDate &today) const;
    // Writes a connections file (one sqlite group per entity) whose database paths are relative
    // to the file's own folder; with `caldraExecutable`, also the group [CALDRA] naming it
    // (relative too).
    void writeConnectionsFile(const QString &path, const QString &caldraExecutable = {}) const;

private:
    QString m_folder;
};

}  // namespace b2d
