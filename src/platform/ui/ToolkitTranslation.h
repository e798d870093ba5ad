#pragma once

// The device speaks Japanese: the toolkit's own texts too (はい(&Y), いいえ(&N), キャンセル).
// False when the toolkit's Japanese translation is not installed; its English stays then.
[[nodiscard]] bool InstallToolkitTranslation();
