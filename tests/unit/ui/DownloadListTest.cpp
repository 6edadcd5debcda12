#include "ui/DownloadList.h"

#include <gtest/gtest.h>

namespace {

using State = DownloadProgress::State;

DownloadProgress Download(unsigned int id, int64_t received, int64_t total, State state = State::InProgress)
{
    DownloadProgress progress;
    progress.id = id;
    progress.fileName = u"file.bin";
    progress.receivedBytes = received;
    progress.totalBytes = total;
    progress.state = state;
    return progress;
}

TEST(DownloadListTest, StatusTextShowsProgressOrHowItEnded)
{
    struct Row {
        DownloadProgress progress;
        std::u16string text;
    } rows[] = {
        { Download(1, 0, 0), u"0 B" },
        { Download(1, 512, -1), u"512 B" },
        { Download(1, 1536, 4096), u"1.5 KB / 4.0 KB (37%)" },
        { Download(1, int64_t(3) * 1024 * 1024 / 2, int64_t(4) * 1024 * 1024), u"1.5 MB / 4.0 MB (37%)" },
        { Download(1, int64_t(5) * 1024 * 1024 * 1024, int64_t(10) * 1024 * 1024 * 1024),
            u"5.0 GB / 10.0 GB (50%)" },
        // A server that sends more than it announced never shows more than all of it.
        { Download(1, 9000, 4096), u"8.8 KB / 4.0 KB (100%)" },
        { Download(1, 4096, 4096, State::Complete), u"完成" },
        { Download(1, 100, 4096, State::Failed), u"失败" },
        { Download(1, 100, 4096, State::Canceled), u"已取消" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(DownloadList::StatusText(row.progress), row.text) << row.progress.receivedBytes;
}

TEST(DownloadListTest, NewestFirstAndAnEndIsNeverTakenBack)
{
    DownloadList list;
    list.Update(Download(7, 10, 100));
    list.Update(Download(8, 0, -1));
    ASSERT_EQ(list.Entries().size(), 2u);
    EXPECT_EQ(list.Entries()[0].id, 8u);
    EXPECT_EQ(list.IndicatorText(), u"↓ 10%");

    list.Update(Download(7, 100, 100, State::Complete));
    // A progress report queued before the end arrives after it.
    list.Update(Download(7, 90, 100));
    EXPECT_EQ(list.Find(7)->state, State::Complete);
    EXPECT_EQ(list.RunningCount(), 1);
    // Only the running download of unknown size is left.
    EXPECT_EQ(list.IndicatorText(), u"↓ …");

    list.Update(Download(8, 50, -1, State::Failed));
    EXPECT_EQ(list.Entries().size(), 2u);
    EXPECT_EQ(list.IndicatorText(), u"↓");
}

} // namespace
