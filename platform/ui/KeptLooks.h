#pragma once

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <vector>

namespace ui {

// The pixels of a control's few last looks, so that painting a look seen
// before copies them instead of running the style's strokes again. Key says
// everything the look depends on; the oldest look goes when N are kept.
template <class Key, size_t N> class KeptLooks {
public:
    // The look for `key`; the first time, `draw` paints it on a clear pixmap
    // of `size` logical pixels at `ratio`.
    template <class Draw> const QPixmap& look(const Key& key, QSize size, qreal ratio, Draw&& draw)
    {
        auto hit = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) { return k.key == key; });
        if (hit == kept_.end()) {
            QPixmap pixmap(size * ratio);
            pixmap.setDevicePixelRatio(ratio);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            draw(p);
            p.end();
            if (kept_.size() >= N)
                kept_.pop_back();
            hit = kept_.insert(kept_.begin(), Kept{key, std::move(pixmap)});
        }
        return hit->pixmap;
    }

private:
    struct Kept {
        Key key;
        QPixmap pixmap;
    };
    std::vector<Kept> kept_;
};

} // namespace ui
