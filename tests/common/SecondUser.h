#pragma once
// A second user on the year a test has open: a data module of its own on the
// same database, as a second run of the program has (two attachments to one
// file through the embedded engine, or through a server in remote mode).
//
// While the object Act() returns lives, the program's `DM` is the second
// user's module, so that the program's own stores and write guards run for
// that user. A store or window keeps the connection it first ran on: each
// user uses its own.
//
//     SecondUser b;
//     TOrderStore bOrders;
//     std::optional<TWriteGuard> held;
//     {
//         auto acting = b.Act();
//         held.emplace();                    // B's operation, left in progress
//         bOrders.AddLine(order, expense, amount);
//     }
//     ... the test's own user acts, and meets B's operation in progress ...
//     b.Run([&] { held->Commit(); held.reset(); });   // B's operation ends

#include "data/UDM.h"

#include <functional>
#include <memory>

class SecondUser {
public:
    // Opens the year of the global DbPath (the test's year) for the second user.
    SecondUser() : m_module(std::make_unique<TDM>()) {}
    ~SecondUser() { m_module.reset(); }
    SecondUser(const SecondUser&) = delete;
    SecondUser& operator=(const SecondUser&) = delete;

    class [[nodiscard]] Acting {
    public:
        explicit Acting(TDM* module) : m_previous(DM) { DM = module; }
        ~Acting() { DM = m_previous; }
        Acting(const Acting&) = delete;
        Acting& operator=(const Acting&) = delete;

    private:
        TDM* m_previous;
    };

    // The second user acts until the object goes.
    Acting Act() { return Acting(m_module.get()); }
    // Runs `what` as the second user.
    void Run(const std::function<void()>& what)
    {
        const Acting acting = Act();
        what();
    }
    TDM& Module() { return *m_module; }

private:
    std::unique_ptr<TDM> m_module;
};
