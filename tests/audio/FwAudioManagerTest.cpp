#include <gtest/gtest.h>

#include <AL/al.h>

#include <vector>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "tests/audio/AudioFixture.h"

namespace audiotest {
namespace {

class AudioManager : public AudioTest {
protected:
    std::shared_ptr<FwSoundEffect> LoadTone(const Tone& tone = Tone{}) {
        auto effect = std::make_shared<FwSoundEffect>();
        EXPECT_TRUE(effect->Load(WriteTone("tone.wav", tone)));
        return effect;
    }

    // True when every source the device has can be made at once.
    static bool AllSourcesFree() {
        std::vector<ALuint> ids(kSourceLimit);
        alGetError();
        alGenSources(kSourceLimit, ids.data());
        if (alGetError() != AL_NO_ERROR) {
            return false;
        }
        alDeleteSources(kSourceLimit, ids.data());
        return true;
    }
};

TEST_F(AudioManager, KeptInstancePlaysToItsEndAfterItsOwnerLetsGo) {
    std::weak_ptr<FwSoundInstance> listed;
    {
        const auto instance = LoadTone(Tone{.seconds = 0.25f})->CreateInstance(true);
        ASSERT_TRUE(instance);
        instance->Play3D(Vector3(0.0f, 0.0f, 0.5f), false, true);
        listed = instance;
    }
    audio.Update();
    ASSERT_FALSE(listed.expired());
    ASSERT_TRUE(WaitWhilePlaying(*listed.lock()));
    // Stopped but not yet dropped: only Update drops.
    EXPECT_FALSE(listed.expired());
    audio.Update();
    EXPECT_TRUE(listed.expired());
    EXPECT_TRUE(audio.GetPlayList().empty());

    EXPECT_NEAR(FinishMix().SoundingSeconds(), 0.25, 0.03);
}

TEST_F(AudioManager, UpdateDropsPausedAndStoppedInstancesButKeepsPlayingOnes) {
    const auto effect = LoadTone();
    const auto paused = effect->CreateInstance(false);
    const auto stopped = effect->CreateInstance(false);
    const auto playing = effect->CreateInstance(false);
    for (const auto& instance : {paused, stopped, playing}) {
        instance->Play(true, true);
    }
    paused->Pause();
    stopped->Stop();
    ASSERT_EQ(audio.GetPlayList().size(), 3u);
    audio.Update();
    ASSERT_EQ(audio.GetPlayList().size(), 1u);
    EXPECT_EQ(audio.GetPlayList().begin()->second, playing);
    EXPECT_EQ(paused->GetState(), FwSoundState::Paused);
}

TEST_F(AudioManager, ReleaseEmptiesThePlayListAndSilencesWhatIsLeft) {
    const auto effect = LoadTone();
    const auto held = effect->CreateInstance(true);
    held->Play3D(Vector3(), true, true);
    std::weak_ptr<FwSoundInstance> listedOnly;
    {
        const auto instance = effect->CreateInstance(false);
        instance->Play(true, true);
        listedOnly = instance;
    }
    audio.Release();
    EXPECT_TRUE(audio.GetPlayList().empty());
    EXPECT_TRUE(listedOnly.expired());
    EXPECT_EQ(held->GetState(), FwSoundState::Stopped);
    held->Play(true, true);
    held->SetPos(Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(held->GetState(), FwSoundState::Stopped);
}

TEST_F(AudioManager, ThousandsOfInstancesLeaveNoSourceBehind) {
    const auto effect = LoadTone(Tone{.seconds = 0.05f});
    for (int i = 0; i < 3000; ++i) {
        const auto instance = effect->CreateInstance(i % 2 == 0);
        ASSERT_TRUE(instance);
        if (i % 3 == 0) {
            instance->Play3D(Vector3(1.0f, 0.0f, 1.0f), false, i % 2 == 0);
        } else {
            instance->Play(i % 5 == 0, false);
        }
        if (i % 100 == 0) {
            audio.Update();
        }
    }
    for (const auto& [key, instance] : audio.GetPlayList()) {
        instance->Stop();
    }
    audio.Update();
    EXPECT_TRUE(audio.GetPlayList().empty());
    EXPECT_TRUE(AllSourcesFree());
}

TEST_F(AudioManager, RunningOutOfSourcesSilencesOnlyTheSoundsWithoutOne) {
    const auto effect = LoadTone();
    std::vector<std::shared_ptr<FwSoundInstance>> instances;
    for (int i = 0; i < kSourceLimit + 4; ++i) {
        instances.push_back(effect->CreateInstance(i % 2 == 0));
        instances.back()->Play(true, true);
    }
    const auto playing = [&] {
        return std::count_if(instances.begin(), instances.end(),
                             [](const auto& i) { return i->GetState() == FwSoundState::Playing; });
    };
    EXPECT_EQ(playing(), kSourceLimit);
    EXPECT_EQ(instances.back()->GetState(), FwSoundState::Stopped);
    EXPECT_EQ(audio.GetPlayList().size(), static_cast<size_t>(kSourceLimit));

    // Letting go of a sounding instance (and its listing) hands its source to the next sound.
    const FwSoundInstance* const first = instances.front().get();
    instances.front()->Stop();
    instances.erase(instances.begin());
    audio.Update();
    EXPECT_EQ(audio.GetPlayList().count(first), 0u);
    instances.back()->Play(false, false);
    EXPECT_EQ(instances.back()->GetState(), FwSoundState::Playing);
}

TEST_F(AudioManager, InstancesOfAClosedDeviceLeaveTheNextDeviceAlone) {
    const auto effect = LoadTone();
    auto old = effect->CreateInstance(false);
    old->Play(true, false);
    ASSERT_TRUE(audio.Init());

    // The old effect's buffer went with its device.
    EXPECT_FALSE(effect->CreateInstance(false));
    const auto fresh = LoadTone()->CreateInstance(false);
    ASSERT_TRUE(fresh);
    fresh->Play(true, false);
    old->Play(true, false);
    old->Pause();
    old.reset();
    EXPECT_EQ(fresh->GetState(), FwSoundState::Playing);
}

TEST_F(AudioManager, WithoutADeviceEverythingIsSilentAndNothingFails) {
    const auto effect = LoadTone();
    BreakDevice();
    ASSERT_TRUE(audio.Init());
    EXPECT_FALSE(audio.HasDevice());

    EXPECT_FALSE(effect->CreateInstance(true));
    const std::string path = WriteTone("quiet.wav", Tone{});
    auto quiet = std::make_shared<FwSoundEffect>();
    EXPECT_FALSE(quiet->Load(path));
    EXPECT_FALSE(quiet->CreateInstance(false));
    const auto cached = FwSoundCache::GetInstance().GetSound(path);
    ASSERT_TRUE(cached);
    EXPECT_FALSE(cached->CreateInstance(true));
    audio.listener.position = Vector3(1.0f, 2.0f, 3.0f);
    audio.Update();
    audio.Release();
}

}  // namespace
}  // namespace audiotest
