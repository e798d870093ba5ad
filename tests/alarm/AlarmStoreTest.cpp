#include <gtest/gtest.h>

#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmStoreFixture.h"
#include "platform/base/Format.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/shell/TimedLaunch.h"

TEST_F(AlarmStoreTest, SavesEveryValueAndLoadsThemBack) {
    const std::string file = Memo("2009-01-13 07.05.00");
    m_store.SetAlarm(file, At(2009, 1, 13, 7, 5), AlarmRepeat::Weekly, "Alarm1", 1);
    ASSERT_TRUE(m_store.Save());

    EXPECT_EQ(StoredInt("Count"), 1);
    EXPECT_EQ(StoredText("FileName00"), file);
    EXPECT_EQ(StoredText("Time00"), "2009/01/13 07:05");
    EXPECT_EQ(StoredInt("Repeat00"), 3);
    EXPECT_EQ(StoredText("WaveFile00"), "Alarm1");
    EXPECT_EQ(StoredInt("WaveRepeat00"), 1);

    CAlarmStore loaded;
    ASSERT_EQ(loaded.Load(), 1);
    const AlarmEntry entry = loaded.GetAt(0);
    EXPECT_EQ(entry.FileName, file);
    EXPECT_EQ(entry.Time, At(2009, 1, 13, 7, 5));
    EXPECT_EQ(entry.Time.wDayOfWeek, 2) << "a Tuesday";
    EXPECT_EQ(entry.Repeat, AlarmRepeat::Weekly);
    EXPECT_EQ(entry.WaveFile, "Alarm1");
    EXPECT_EQ(entry.WaveRepeat, 1);
}

TEST_F(AlarmStoreTest, AnEmptyStoreSavesOnlyItsCount) {
    EXPECT_EQ(m_store.Load(), 0);
    ASSERT_TRUE(m_store.Save());
    EXPECT_EQ(StoredInt("Count"), 0);
    EXPECT_FALSE(Stored("FileName00"));
    EXPECT_FALSE(Stored("Time00"));
}

TEST_F(AlarmStoreTest, OneAlarmPerFileNameWithCaseCounting) {
    const std::string file = Memo("a");
    const std::string other = Memo("b");
    m_store.SetAlarm(file, At(2009, 1, 13, 7, 5), AlarmRepeat::None, "", 0);
    m_store.SetAlarm(other, At(2009, 1, 14, 7, 5), AlarmRepeat::None, "", 0);
    m_store.SetAlarm(file, At(2009, 1, 15, 8, 0), AlarmRepeat::Daily, "Chime", 0);
    ASSERT_EQ(m_store.GetCount(), 2);
    EXPECT_EQ(m_store.GetAt(0).FileName, file) << "the replaced alarm keeps its place";
    EXPECT_EQ(m_store.GetAt(0).Time, At(2009, 1, 15, 8, 0));
    EXPECT_EQ(m_store.GetAt(0).Repeat, AlarmRepeat::Daily);
    EXPECT_EQ(m_store.GetAt(0).WaveFile, "Chime");

    m_store.SetAlarm("\\My Documents\\Quillo\\A.bmp", At(2009, 1, 16, 8, 0), AlarmRepeat::None, "",
                     0);
    EXPECT_EQ(m_store.GetCount(), 3);
    EXPECT_EQ(m_store.FindByFile("\\My Documents\\Quillo\\A.bmp"), 2);
    EXPECT_EQ(m_store.FindByFile(file), 0);
    EXPECT_EQ(m_store.FindByFile("\\nothing.bmp"), -1);
}

TEST_F(AlarmStoreTest, NumbersPast99GetThreeDigits) {
    for (int i = 0; i < 101; ++i) {
        ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
            store.SetAlarm(Memo(Format("m%03d", i)), At(2009, 1, 13, 7, i % 60), AlarmRepeat::None,
                           "", 0);
        }));
    }
    EXPECT_EQ(StoredInt("Count"), 101);
    EXPECT_EQ(StoredText("FileName99"), "\\My Documents\\Quillo\\m099.bmp");
    EXPECT_EQ(StoredText("FileName100"), "\\My Documents\\Quillo\\m100.bmp");
    EXPECT_EQ(StoredText("Time100"), "2009/01/13 07:40");

    CAlarmStore loaded;
    ASSERT_EQ(loaded.Load(), 101);
    EXPECT_EQ(loaded.FindByFile("\\My Documents\\Quillo\\m100.bmp"), 100);
    EXPECT_EQ(loaded.GetAt(100).Time, At(2009, 1, 13, 7, 40));
}

TEST_F(AlarmStoreTest, AVanishedMemoLosesItsAlarmAtLoadAndOldNumbersStay) {
    for (const char* name : {"a", "b", "c"}) {
        m_store.SetAlarm(Memo(name), At(2009, 1, 13, 7, 5), AlarmRepeat::None, "", 0);
    }
    ASSERT_TRUE(m_store.Save());
    RemoveMemo("b");

    CAlarmStore loaded;
    ASSERT_EQ(loaded.Load(), 2);
    EXPECT_EQ(loaded.GetAt(0).FileName, "\\My Documents\\Quillo\\a.bmp");
    EXPECT_EQ(loaded.GetAt(1).FileName, "\\My Documents\\Quillo\\c.bmp");
    EXPECT_EQ(StoredInt("Count"), 3) << "loading touches nothing";
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(StoredInt("Count"), 2);
    EXPECT_EQ(StoredText("FileName01"), "\\My Documents\\Quillo\\c.bmp");
    EXPECT_EQ(StoredText("FileName02"), "\\My Documents\\Quillo\\c.bmp") << "left, unseen";
}

TEST_F(AlarmStoreTest, AnEmptyOrFolderFileNameIsDroppedAtLoadAndTheRestSpelledAsOnDisk) {
    Memo("kept");
    EXPECT_TRUE(m_app.WriteProfileInt("MemoNotify", "Count", 3));
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "FileName00", ""));
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "FileName01", "\\My Documents\\Quillo"));
    EXPECT_TRUE(
        m_app.WriteProfileString("MemoNotify", "FileName02", "my documents/QUILLO//KEPT.bmp"));
    ASSERT_EQ(m_store.Load(), 1);
    EXPECT_EQ(m_store.GetAt(0).FileName, "\\My Documents\\Quillo\\kept.bmp");
}

TEST_F(AlarmStoreTest, RemoveAtMovesLaterEntriesDown) {
    for (const char* name : {"a", "b", "c"}) {
        m_store.SetAlarm(Memo(name), At(2009, 1, 13, 7, 5), AlarmRepeat::None, "", 0);
    }
    m_store.RemoveAt(2);
    ASSERT_EQ(m_store.GetCount(), 2);
    EXPECT_EQ(m_store.GetAt(1).FileName, "\\My Documents\\Quillo\\b.bmp");
    m_store.RemoveAt(0);
    ASSERT_EQ(m_store.GetCount(), 1);
    EXPECT_EQ(m_store.GetAt(0).FileName, "\\My Documents\\Quillo\\b.bmp");
    m_store.RemoveAt(5);  // out of range: nothing happens
    EXPECT_EQ(m_store.GetCount(), 1);
}

TEST_F(AlarmStoreTest, FindByTimeIgnoresTheDayOfWeekOnly) {
    m_store.SetAlarm(Memo("a"), At(2009, 1, 13, 7, 5), AlarmRepeat::None, "", 0);
    SYSTEMTIME probe = At(2009, 1, 13, 7, 5);
    probe.wDayOfWeek = 6;
    EXPECT_EQ(m_store.FindByTime(probe), 0);
    probe.wSecond = 1;
    EXPECT_EQ(m_store.FindByTime(probe), -1);
}

TEST_F(AlarmStoreTest, ADamagedTimeStaysButIsNeverEarliestDueOrRequested) {
    EXPECT_TRUE(m_app.WriteProfileInt("MemoNotify", "Count", 2));
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "FileName00", Memo("damaged")));
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "Time00", "yesterday at noon"));
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "FileName01", Memo("odd")));
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "Time01", "2009/01/13 10:20"));
    EXPECT_TRUE(m_app.WriteProfileInt("MemoNotify", "Repeat01", 7));
    ASSERT_EQ(m_store.Load(), 2);
    EXPECT_EQ(m_store.GetAt(0).Time.wYear, 0) << "the fields that could not be read are zero";

    const SYSTEMTIME now = At(2009, 1, 13, 10, 20);
    EXPECT_EQ(FindEarliest(m_store.Entries(), now), -1);
    EXPECT_EQ(FindDue(m_store.Entries(), now, &now), -1);
    m_store.Schedule(now);
    EXPECT_EQ(RequestedTime(), "(none)") << "the request is withdrawn, not given a bad time";

    const std::string good = Memo("good");
    m_store.SetAlarm(good, At(2009, 1, 20, 8, 0), AlarmRepeat::None, "", 0);
    EXPECT_EQ(FindEarliest(m_store.Entries(), now), 2);
    EXPECT_EQ(RequestedTime(), "2009/01/20 08:00");
    ASSERT_TRUE(m_store.Save());
    CAlarmStore reloaded;
    EXPECT_EQ(reloaded.Load(), 3) << "the damaged entries stay in the store";
}

TEST_F(AlarmStoreTest, TheEarliestKeepsTheLowerIndexOnTiesAndAPastOneShotGoesAsItIs) {
    const SYSTEMTIME now = At(2009, 1, 13, 10, 20);
    EXPECT_EQ(FindEarliest(m_store.Entries(), now), -1);
    m_store.SetAlarm(Memo("later"), At(2009, 1, 14, 9, 0), AlarmRepeat::None, "", 0);
    m_store.SetAlarm(Memo("daily"), At(2009, 1, 1, 10, 45), AlarmRepeat::Daily, "", 0);
    m_store.SetAlarm(Memo("hourly"), At(2009, 1, 1, 0, 45), AlarmRepeat::Hourly, "", 0);
    EXPECT_EQ(FindEarliest(m_store.Entries(), now), 1) << "daily and hourly both next at 10:45";

    m_store.SetAlarm(Memo("missed"), At(2009, 1, 12, 6, 0), AlarmRepeat::None, "", 0);
    EXPECT_EQ(FindEarliest(m_store.Entries(), now), 3);
    m_store.Schedule(now);
    EXPECT_EQ(RequestedTime(), "2009/01/12 06:00");
}

TEST_F(AlarmStoreTest, ARepeatingAlarmWithAFutureBaseIsFirstDueAtItsBase) {
    const SYSTEMTIME now = At(2009, 1, 13, 10, 20);
    m_store.SetAlarm(Memo("a"), At(2009, 2, 1, 9, 30), AlarmRepeat::Hourly, "", 0);
    m_store.Schedule(now);
    EXPECT_EQ(RequestedTime(), "2009/02/01 09:30");
}

TEST_F(AlarmStoreTest, FindDueReadsTheRecordedRequest) {
    SetClock(At(2009, 1, 13, 10, 7));
    m_store.SetAlarm(Memo("once"), At(2009, 1, 13, 9, 0), AlarmRepeat::None, "", 0);
    m_store.SetAlarm(Memo("daily"), At(2009, 1, 1, 10, 5), AlarmRepeat::Daily, "", 0);
    const SYSTEMTIME requested = At(2009, 1, 13, 10, 5);
    EXPECT_TRUE(RunAppAtTime("/usr/bin/quillo", &requested));
    EXPECT_EQ(m_store.FindDue(At(2009, 1, 13, 10, 7)), 1);
    EXPECT_TRUE(RunAppAtTime("/usr/bin/quillo", nullptr));
    EXPECT_EQ(m_store.FindDue(At(2009, 1, 13, 10, 7)), 0);
}

TEST_F(AlarmStoreTest, AnUpdateStartsFromWhatAnotherProcessStored) {
    m_store.Load();
    const std::string mine = Memo("mine");
    const std::string theirs = Memo("theirs");
    {
        // Another process, with a connection of its own, stores an alarm meanwhile.
        auto other = Registry::Open(Device::RegistryFile());
        EXPECT_TRUE(other->Write(Hive::CurrentUser, kSectionKey, "Count", 1));
        EXPECT_TRUE(other->Write(Hive::CurrentUser, kSectionKey, "FileName00", theirs));
        EXPECT_TRUE(other->Write(Hive::CurrentUser, kSectionKey, "Time00",
                                 std::string("2009/01/20 08:00")));
    }
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(mine, At(2009, 1, 21, 8, 0), AlarmRepeat::None, "", 0);
    }));
    ASSERT_EQ(m_store.GetCount(), 2);
    EXPECT_EQ(m_store.GetAt(0).FileName, theirs);
    EXPECT_EQ(m_store.GetAt(1).FileName, mine);
    EXPECT_EQ(StoredInt("Count"), 2);
    EXPECT_EQ(RequestedTime(), "2009/01/20 08:00");
}

TEST_F(AlarmStoreTest, AnUpdateDoesNotReadAgainWhatOnlyThisProcessWrote) {
    const std::string file = Memo("a");
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(file, At(2009, 1, 21, 8, 0), AlarmRepeat::None, "", 0);
    }));
    // The request's worker writes on a connection of its own; a look then finds the alarms
    // as they were stored.
    FinishTimedLaunchRequests();
    m_store.ReadAgainIfChanged();
    // Written on this process's own connection: a reload would now show 2030.
    EXPECT_TRUE(m_app.WriteProfileString("MemoNotify", "Time00", "2030/01/01 00:00"));
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(Memo("b"), At(2009, 1, 22, 8, 0), AlarmRepeat::None, "", 0);
    }));
    EXPECT_EQ(FormatAlarmTime(m_store.GetAt(0).Time), "2009/01/21 08:00");
}

TEST_F(AlarmStoreTest, AReloadKeepsAlarmsOfVanishedMemosUntilTheNextStart) {
    const std::string file = Memo("a");
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(file, At(2009, 1, 21, 8, 0), AlarmRepeat::None, "", 0);
    }));
    RemoveMemo("a");
    EXPECT_TRUE(
        Registry::Open(Device::RegistryFile())->Write(Hive::CurrentUser, kSectionKey, "Other", 1));
    m_store.ReadAgainIfChanged();
    EXPECT_EQ(m_store.GetCount(), 1);
    CAlarmStore started;
    EXPECT_EQ(started.Load(), 0);
}

TEST_F(AlarmStoreTest, WhatAStartDropsStaysDropped) {
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(Memo("gone"), At(2009, 1, 21, 8, 0), AlarmRepeat::None, "", 0);
        store.SetAlarm(Memo("kept"), At(2009, 1, 22, 8, 0), AlarmRepeat::None, "", 0);
    }));
    RemoveMemo("gone");
    CAlarmStore started;
    ASSERT_EQ(started.Load(), 1);
    // The timed launch's worker writes on a connection of its own; then another process
    // that still holds the old list stores it again.
    for (const char* writer : {"worker", "older process"}) {
        auto other = Registry::Open(Device::RegistryFile());
        if (std::string(writer) == "worker") {
            EXPECT_TRUE(other->Write(Hive::LocalMachine, "Software\\Quillo\\RunAppAtTime",
                                     "Backend", std::string("systemd")));
        } else {
            EXPECT_TRUE(other->Write(Hive::CurrentUser, kSectionKey, "WaveRepeat01", 1));
        }
        started.ReadAgainIfChanged();
        ASSERT_EQ(started.GetCount(), 1) << writer;
        EXPECT_EQ(started.GetAt(0).FileName, "\\My Documents\\Quillo\\kept.bmp") << writer;
    }
    EXPECT_EQ(started.GetAt(0).WaveRepeat, 1) << "what another process changed is read";
}

TEST_F(AlarmStoreTest, ATakenAlarmIsGoneForEveryoneElse) {
    SetClock(At(2009, 1, 13, 10, 20));
    const std::string file = Memo("a");
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(file, At(2009, 1, 13, 10, 20), AlarmRepeat::Daily, "Bell", 1);
        store.SetAlarm(Memo("b"), At(2009, 1, 14, 7, 0), AlarmRepeat::None, "", 0);
    }));
    CAlarmStore other;  // a second process's copy, read before the take
    other.Load();
    const auto pick = [](const CAlarmStore& store) {
        return store.FindByTime(At(2009, 1, 13, 10, 20));
    };

    const auto taken = m_store.TakeDue(pick);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->FileName, file);
    EXPECT_EQ(taken->WaveFile, "Bell");
    EXPECT_EQ(StoredInt("Count"), 1);
    EXPECT_EQ(RequestedTime(), "2009/01/14 07:00") << "scheduled again after the take";

    // The other copy still shows the alarm, but only what is stored can be taken.
    {
        auto connection = Registry::Open(Device::RegistryFile());
        EXPECT_TRUE(
            connection->Write(Hive::CurrentUser, "Software\\Vornak\\quillo\\Other", "Touch", 1));
    }
    EXPECT_EQ(other.GetCount(), 2);
    EXPECT_FALSE(other.TakeDue(pick));
    EXPECT_EQ(other.GetCount(), 1);
    EXPECT_FALSE(m_store.TakeDue(pick));
}

TEST_F(AlarmStoreTest, AnAlarmWhoseTakeCannotBeStoredRingsOnceAndGoesWithTheNextStore) {
    SetClock(At(2009, 1, 13, 10, 20));
    const std::string file = Memo("a");
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(file, At(2009, 1, 13, 10, 20), AlarmRepeat::None, "", 0);
    }));
    const auto due = [](const CAlarmStore& store) {
        return FindRunningDue(store.Entries(), At(2009, 1, 13, 10, 20));
    };
    {
        const HeldProfile held(m_device.Directory());
        bool stored = true;
        const auto taken = m_store.TakeDue(due, &stored);
        ASSERT_TRUE(taken) << "it rings all the same";
        EXPECT_FALSE(stored);
        EXPECT_FALSE(m_store.TakeDue(due)) << "but only once";
        EXPECT_FALSE(m_store.Update([](CAlarmStore& store) {
            store.SetAlarm("\\b.bmp", At(2009, 1, 14, 7, 0), AlarmRepeat::None, "", 0);
        }));
        EXPECT_EQ(m_store.GetCount(), 0) << "what was not stored is not shown either";
    }
    EXPECT_EQ(StoredInt("Count"), 1) << "the profile still holds it";
    ASSERT_TRUE(m_store.Update([](CAlarmStore&) {}));
    EXPECT_EQ(StoredInt("Count"), 0);
}

TEST_F(AlarmStoreTest, ScheduleAsksForTheProgramOnThisDeviceAndScreen) {
    m_store.SetAlarm(Memo("a"), At(2009, 1, 21, 8, 0), AlarmRepeat::None, "", 0);
    const auto value = m_app.GetRegistry()->Read(Hive::LocalMachine,
                                                 "Software\\Quillo\\RunAppAtTime", "CommandLine");
    ASSERT_TRUE(value);
    const std::vector<std::string> words = ShellSplit(std::get<std::string>(*value));
    ASSERT_GE(words.size(), 4u);
    EXPECT_EQ(words.front(), GetModuleFileName());
    EXPECT_EQ(words[1], "--device");
    EXPECT_EQ(words[2], Device::HostDirectory());
    EXPECT_EQ(words.back(), "AppRunAtTime");
}
