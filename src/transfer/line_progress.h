#pragma once

#include <QMetaObject>
#include <QtGlobal>

namespace vtr8 {

struct TransferContext;

// The progress bar of a sequence whose commands are known before it starts: it stands at the
// share of the whole plan's bytes that the commands answered so far put on the line, so a long
// run of blocks moves it as far as its time on the line does. Extra attempts are not counted;
// the bar reaches 100 only by finish().
class LineProgress {
public:
    LineProgress(TransferContext& ctx, qint64 plannedBytes);
    ~LineProgress();
    LineProgress(const LineProgress&) = delete;
    LineProgress& operator=(const LineProgress&) = delete;

    void finish();

private:
    void show(int percent);

    TransferContext& ctx_;
    qint64 start_;
    qint64 planned_;
    int shown_ = -1;
    QMetaObject::Connection connection_;
};

} // namespace vtr8
