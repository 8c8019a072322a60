#pragma once

// The ODBC C API without the data layer, for the benchmarks' bare loops: each handle freed by its
// owner, every failure raised with the driver's own message.
#include <sql.h>
#include <sqlext.h>

#include <stdexcept>
#include <string>

namespace bench {

inline void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h, const char* what) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    SQLCHAR state[6] = {0}, msg[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT len = 0;
    SQLGetDiagRec(type, h, 1, state, &native, msg, sizeof msg, &len);
    throw std::runtime_error(std::string(what) + ": [" + reinterpret_cast<char*>(state) + "] " +
                             reinterpret_cast<char*>(msg));
}

// One handle of the driver manager, freed with its owner.
class OdbcHandle {
  public:
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &h_))) {
            h_ = SQL_NULL_HANDLE;
            throw std::runtime_error("the driver manager gave no handle");
        }
    }
    ~OdbcHandle() {
        if (h_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, h_);
    }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    SQLHANDLE get() const { return h_; }

  private:
    SQLSMALLINT type_;
    SQLHANDLE h_ = SQL_NULL_HANDLE;
};

// A connection opened with an ODBC connection string, in autocommit until begin().
class OdbcConnection {
  public:
    explicit OdbcConnection(const std::string& connectionString) {
        check(SQLDriverConnect(
                  dbc_.get(), nullptr,
                  reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str())), SQL_NTS,
                  nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
              SQL_HANDLE_DBC, dbc_.get(), "connect");
        connected_ = true;
    }
    ~OdbcConnection() {
        if (connected_) SQLDisconnect(dbc_.get());
    }
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    SQLHDBC dbc() const { return dbc_.get(); }

    void exec(const std::string& sql);
    // The first column of the first row of a query, as a whole number.
    long long scalar(const std::string& sql);
    void begin() { autocommit(false); }
    void commit() {
        check(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_COMMIT), SQL_HANDLE_DBC, dbc_.get(),
              "commit");
        autocommit(true);
    }

  private:
    // The version must be set before the environment gives a connection handle.
    static SQLHANDLE odbc3(const OdbcHandle& env) {
        SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                      0);
        return env.get();
    }
    void autocommit(bool on) {
        check(SQLSetConnectAttr(
                  dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                  reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0),
              SQL_HANDLE_DBC, dbc_.get(), "autocommit");
    }

    OdbcHandle env_{SQL_HANDLE_ENV, SQL_NULL_HANDLE};
    OdbcHandle dbc_{SQL_HANDLE_DBC, odbc3(env_)};
    bool connected_ = false;
};

// A statement handle of a connection.
class OdbcStatement {
  public:
    explicit OdbcStatement(const OdbcConnection& c) : h_(SQL_HANDLE_STMT, c.dbc()) {}
    SQLHSTMT get() const { return h_.get(); }

    void prepare(const std::string& sql) {
        check(SQLPrepare(get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                         static_cast<SQLINTEGER>(sql.size())),
              SQL_HANDLE_STMT, get(), "prepare");
    }
    void execute() { check(SQLExecute(get()), SQL_HANDLE_STMT, get(), "execute"); }
    void execDirect(const std::string& sql) {
        check(SQLExecDirect(get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                            static_cast<SQLINTEGER>(sql.size())),
              SQL_HANDLE_STMT, get(), sql.c_str());
    }

  private:
    OdbcHandle h_;
};

inline void OdbcConnection::exec(const std::string& sql) {
    OdbcStatement(*this).execDirect(sql);
}

inline long long OdbcConnection::scalar(const std::string& sql) {
    OdbcStatement st(*this);
    st.execDirect(sql);
    SQLBIGINT value = 0;
    SQLLEN ind = 0;
    check(SQLFetch(st.get()), SQL_HANDLE_STMT, st.get(), "fetch");
    check(SQLGetData(st.get(), 1, SQL_C_SBIGINT, &value, 0, &ind), SQL_HANDLE_STMT, st.get(),
          "value");
    return ind == SQL_NULL_DATA ? 0 : value;
}

}  // namespace bench
