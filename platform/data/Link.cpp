#include "platform/data/Link.h"

#include <algorithm>

namespace data {

Link::~Link()
{
    unlink();
}

void Link::unlink()
{
    if (list_)
        list_->remove(this);
}

LinkList::~LinkList()
{
    const auto links = std::move(links_);
    links_.clear();
    for (Link* l : links)
        if (l)
            l->list_ = nullptr;
    for (Link* l : links)
        if (l)
            l->unlinked();
}

void LinkList::add(Link* link)
{
    if (link->list_ == this)
        return;
    link->unlink();
    link->list_ = this;
    links_.push_back(link);
}

void LinkList::remove(Link* link)
{
    if (link->list_ != this)
        return;
    link->list_ = nullptr;
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end())
        return;
    // While a walk is on, the slot is emptied, not closed up.
    if (walking_ > 0)
        *it = nullptr;
    else
        links_.erase(it);
}

void LinkList::compact()
{
    links_.erase(std::remove(links_.begin(), links_.end(), nullptr), links_.end());
}

} // namespace data
