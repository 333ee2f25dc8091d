#pragma once

// The error type every layer throws: the system's error number, source and description, and
// the orderly end of the program.

#include <QString>
#include <exception>

namespace b2d {

// Error numbers the system gives its failures.
namespace ErrNo {
constexpr long Builder = -2147220393;  // automation error base + 1111: header, items, prompts
constexpr long Product = -2147221393;  // automation error base + 111: product and party builders
constexpr long TypeMismatch = 13;
constexpr long DivisionByZero = 11;
constexpr long FileNotFound = 53;
constexpr long PermissionDenied = 70;
constexpr long PathNotFound = 76;
constexpr long Database = -2147217900;  // a statement the database refused
}  // namespace ErrNo

// A runtime failure: the system's error number, the source that raised it and its description.
class B2DError : public std::exception {
public:
    B2DError(long number, QString source, QString description);
    long number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override;

private:
    long m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// The operator gave up at a prompt: number Builder, source "Proceso".
B2DError userCancelError();

// The orderly end of the program ("Finalizar Programa"): unwinds to the shell, which closes the
// window or makes the command line exit with status 5. Builders throw it; they never call exit.
class ProgramEnd : public std::exception {
public:
    explicit ProgramEnd(QString reason = {}) : m_reason(std::move(reason)) {}
    const QString &reason() const { return m_reason; }
    const char *what() const noexcept override { return "Finalizar Programa"; }

private:
    QString m_reason;
};

// A statement the database refused while a generation runs (an error, not an empty answer). It
// is not a B2DError on purpose: the builders' own error handling carries on after a B2DError,
// and a refusal must instead end the whole generation, caught by the document driver alone.
class StatementRefused : public std::exception {
public:
    StatementRefused(QString entity, QString sql, QString description);
    const QString &entity() const { return m_entity; }
    const QString &sql() const { return m_sql; }
    // The database's own text.
    const QString &description() const { return m_description; }
    // The same failure as the system reports a database error: number Database, source
    // "RecordGate.RGMain", the database's text.
    B2DError asError() const;
    const char *what() const noexcept override;

private:
    QString m_entity;
    QString m_sql;
    QString m_description;
    QByteArray m_what;
};

// Raises the error again with a chained source: "PROC linea LINE::earlier source".
[[noreturn]] void reraise(const B2DError &e, long number, const QString &procedure, int line);

}  // namespace b2d
