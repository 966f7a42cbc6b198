#pragma once

// Observers and receivers that keep each other in lists: an observer passes
// a parameter to its receivers; a receiver remembers its observers so that
// it can leave all of them at once. The menu windows of one chain tell each
// other to close through the chain's observer.

#include <windows.h>

#include <algorithm>
#include <vector>

template <typename ReturnT, typename ParamT>
class ReceiverImplBase;

template <typename ReturnT, typename ParamT>
class ObserverImplBase
{
public:
    virtual ~ObserverImplBase() = default;
    virtual void Attach(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
    virtual void Detach(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
    virtual void SendToAll(ParamT param) = 0;
    virtual void SendToAllReversed(ParamT param) = 0;
};

template <typename ReturnT, typename ParamT>
class ReceiverImplBase
{
public:
    virtual ~ReceiverImplBase() = default;
    virtual void RememberObserver(ObserverImplBase<ReturnT, ParamT>* observer) = 0;
    virtual void DetachFromAll() = 0;
    virtual bool HandleParam(ParamT param) = 0;
};

template <typename ReturnT, typename ParamT>
class ObserverImpl : public ObserverImplBase<ReturnT, ParamT>
{
public:
    typedef ReceiverImplBase<ReturnT, ParamT> Receiver;

    ObserverImpl() = default;
    ObserverImpl(const ObserverImpl&) = delete;
    ObserverImpl& operator=(const ObserverImpl&) = delete;

    // Appends the receiver, which then remembers this observer.
    void Attach(ReceiverImplBase<ReturnT, ParamT>* receiver) override
    {
        if (receiver == nullptr)
            return;
        m_receivers.push_back(receiver);
        receiver->RememberObserver(this);
    }

    // Removes the first occurrence of the receiver.
    void Detach(ReceiverImplBase<ReturnT, ParamT>* receiver) override
    {
        auto found = std::find(m_receivers.begin(), m_receivers.end(), receiver);
        if (found != m_receivers.end())
            m_receivers.erase(found);
    }

    // From the first receiver to the last. A receiver that detaches itself
    // or others meanwhile does not make the walk skip or repeat anyone.
    void SendToAll(ParamT param) override
    {
        std::vector<Receiver*> snapshot(m_receivers);
        for (Receiver* receiver : snapshot) {
            if (IsAttached(receiver))
                receiver->HandleParam(param);
        }
    }

    // From the most recently attached receiver to the first.
    void SendToAllReversed(ParamT param) override
    {
        std::vector<Receiver*> snapshot(m_receivers);
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
            if (IsAttached(*it))
                (*it)->HandleParam(param);
        }
    }

    int GetCount() const { return static_cast<int>(m_receivers.size()); }
    Receiver* GetAt(int index) const { return m_receivers[index]; }

private:
    bool IsAttached(Receiver* receiver) const
    {
        return std::find(m_receivers.begin(), m_receivers.end(), receiver) != m_receivers.end();
    }

    std::vector<Receiver*> m_receivers;
};

template <typename ReturnT, typename ParamT>
class ReceiverImpl : public ReceiverImplBase<ReturnT, ParamT>
{
public:
    ReceiverImpl() = default;
    ReceiverImpl(const ReceiverImpl&) = delete;
    ReceiverImpl& operator=(const ReceiverImpl&) = delete;
    // A receiver that goes away leaves its observers, so that no broadcast
    // reaches freed memory.
    ~ReceiverImpl() override { DetachFromAll(); }

    void RememberObserver(ObserverImplBase<ReturnT, ParamT>* observer) override
    {
        m_observers.push_back(observer);
    }

    void DetachFromAll() override
    {
        std::vector<ObserverImplBase<ReturnT, ParamT>*> observers;
        observers.swap(m_observers);
        for (ObserverImplBase<ReturnT, ParamT>* observer : observers)
            observer->Detach(this);
    }

private:
    std::vector<ObserverImplBase<ReturnT, ParamT>*> m_observers;
};

// What menu windows tell each other.
enum ContextMenuKind
{
    ContextMenuCloseAll = 1,        // every menu window closes
    ContextMenuCloseDescendants = 2 // menu windows below refWindow close
};

struct ContextMenuParam
{
    int kind;        // ContextMenuKind
    HWND refWindow;  // for ContextMenuCloseDescendants; else the sender's window
};

typedef ObserverImpl<int, ContextMenuParam> ContextMenuObserver;
typedef ReceiverImpl<int, ContextMenuParam> ContextMenuReceiver;
