#pragma once

namespace data {

class Connection;

// Scoped guard of one database transaction: it rolls back in its destructor unless commit()
// succeeded. Get it from Connection::transaction().
//
// Nesting: a transaction() taken while another one is open on the same connection joins the
// outer one. Its commit() does nothing and returns true; if it ends without commit(), the outer
// transaction is marked rollback-only and the outer commit() then rolls back and returns false.
// So a function that makes its own transaction can be called inside a larger operation.
class Transaction {
public:
    Transaction(Transaction &&other) noexcept;
    Transaction &operator=(Transaction &&) = delete;
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    ~Transaction();

    // True when the transaction began (or joined an open one) and has not ended yet.
    bool isActive() const { return m_connection != nullptr; }
    // Commits (the outermost guard) and ends the guard. False when the transaction did not
    // begin, was marked rollback-only by an inner guard, or the commit failed (then rolled back).
    bool commit();
    // Rolls back now (the outermost guard) or marks the outer transaction rollback-only.
    void rollback();

private:
    friend class Connection;
    Transaction(Connection *connection, bool outermost);

    Connection *m_connection = nullptr; // null when not active
    bool m_outermost = false;
};

} // namespace data
