#pragma once

#include <cstddef>
#include <vector>

namespace data {

class LinkList;

// One end of a link between something that tells (a dataset, a data source,
// a connection) and something that listens. Either end may go first: a
// listener destroyed leaves its list, and a list destroyed tells each of its
// listeners unlinked(). A listener is in one list at a time.
class Link {
public:
    Link() = default;
    virtual ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    bool linked() const { return list_ != nullptr; }
    void unlink();

protected:
    // The list went away first.
    virtual void unlinked() {}

private:
    friend class LinkList;
    LinkList* list_ = nullptr;
};

class LinkList {
public:
    LinkList() = default;
    ~LinkList();
    LinkList(const LinkList&) = delete;
    LinkList& operator=(const LinkList&) = delete;

    // Moves the link here from any list it was in.
    void add(Link* link);
    void remove(Link* link);

    // Calls f for each link, as T; links added meanwhile wait for the next
    // round, and links removed or destroyed meanwhile are skipped.
    template <class T, class F> void forEach(F f)
    {
        ++walking_;
        const size_t n = links_.size();
        for (size_t i = 0; i < n; ++i)
            if (Link* l = links_[i])
                f(static_cast<T*>(l));
        if (--walking_ == 0)
            compact();
    }

private:
    void compact();

    std::vector<Link*> links_;
    int walking_ = 0;
};

} // namespace data
