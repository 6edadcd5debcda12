#include "browser/PartialDownloads.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

bool Exists(const QString& path) { return QFileInfo(path).exists() || QFileInfo(path).isSymLink(); }

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("part");
}

TEST(PartialDownloadsTest, AStartRemovesOnlyThePartialFilesAKilledRunOfItsOwnLeft)
{
    QTemporaryDir documents, state;
    const std::string journal = state.filePath("partial-downloads").toStdString();
    const QString killed = documents.filePath("录像.mp4"), finished = documents.filePath("done.zip");
    const QString foreign = documents.filePath("other.iso.download");
    const QString precious = documents.filePath("precious.txt");
    {
        PartialDownloads run(journal);
        run.Started(killed.toStdString());
        run.Started(finished.toStdString());
        run.Ended(finished.toStdString());
        Touch(killed + ".download");
        Touch(finished + ".download");
        Touch(foreign);
        Touch(precious);
        // The process is killed here: nothing more reaches the journal.
    }
    // Entries a damaged or edited journal might hold: no suffix, a link, a folder, a relative name.
    ASSERT_TRUE(QFile::link(precious, documents.filePath("link.download")));
    ASSERT_TRUE(QDir(documents.path()).mkdir("folder.download"));
    {
        std::ofstream out(journal, std::ios::app);
        out << precious.toStdString() << '\n'
            << documents.filePath("link.download").toStdString() << '\n'
            << documents.filePath("folder.download").toStdString() << '\n'
            << "relative.download\n";
    }

    PartialDownloads nextStart(journal);
    nextStart.RemoveLeftovers();
    EXPECT_FALSE(Exists(killed + ".download"));
    EXPECT_TRUE(Exists(finished + ".download")) << "not listed once it ended: not ours to remove";
    EXPECT_TRUE(Exists(foreign));
    EXPECT_TRUE(Exists(precious));
    EXPECT_TRUE(Exists(documents.filePath("link.download")));
    EXPECT_TRUE(Exists(documents.filePath("folder.download")));

    // The list is empty afterwards: a file of that name made later by someone else stays.
    Touch(killed + ".download");
    PartialDownloads(journal).RemoveLeftovers();
    EXPECT_TRUE(Exists(killed + ".download"));
}

} // namespace
