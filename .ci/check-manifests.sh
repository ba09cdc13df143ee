#!/usr/bin/env bash
# Reads what is prepared for the builds that cannot run on this machine, as far
# as it can be read here: the GitHub Actions workflows against the Actions
# schema (action-validator, from npm, kept in .cache/), and the Flatpak
# manifest through flatpak-builder, under the application id that CMake names.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "FAIL: $*"
  exit 1
}

validator_version=0.6.0
prefix=.cache/npm
validator=$prefix/node_modules/.bin/action-validator
command -v npm >/dev/null || bash tools/install-packages.sh npm
if ! grep -qs "\"version\": \"$validator_version\"" "$prefix/node_modules/@action-validator/cli/package.json"; then
  npm install --prefix "$prefix" --no-save --no-audit --no-fund --loglevel=error \
    "@action-validator/cli@$validator_version"
fi
for workflow in .github/workflows/*.yml; do
  "$validator" "$workflow" || fail "$workflow does not match the GitHub Actions schema"
done
echo "the workflows match the GitHub Actions schema"

bash tools/install-packages.sh flatpak-builder
app_id=$(sed -n 's/^set(TORVANE_APP_ID \([^ )]*\))$/\1/p' CMakeLists.txt)
[ -n "$app_id" ] || fail "no TORVANE_APP_ID in CMakeLists.txt"
manifest=packaging/flatpak/$app_id.yml
[ -f "$manifest" ] || fail "no Flatpak manifest named after the application id: $manifest"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# flatpak-builder only warns of a property it does not know, which it then
# ignores: a warning is a fault here. It keeps its state in the folder it runs
# in, so it runs in the scratch folder.
(cd "$scratch" && flatpak-builder --show-manifest "$OLDPWD/$manifest") >"$scratch/manifest.json" 2>"$scratch/warnings" ||
  { cat "$scratch/warnings"; fail "flatpak-builder cannot read $manifest"; }
[ ! -s "$scratch/warnings" ] || { cat "$scratch/warnings"; fail "flatpak-builder warns about $manifest"; }
grep -q "^  \"id\" : \"$app_id\",\$" "$scratch/manifest.json" || fail "$manifest does not have the id $app_id"
echo "flatpak-builder reads $manifest"
