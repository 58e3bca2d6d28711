#!/bin/sh
# The layers include downwards only: base <- platform, fileinfo <- writers <- engine <- settings
# <- app. base includes only base; platform, fileinfo and writers nothing from engine, settings
# or app; engine nothing from settings or app; settings nothing from app (the batch front end). Prints every include that runs the wrong way and fails when there is one.
cd "$1" || exit 2
status=0
check() {  # folder, pattern of the folders it must not include
  if grep -rnE "#include \"($2)/" "src/$1"; then status=1; fi
}
check base 'platform|fileinfo|writers|engine|settings|app|ui'
check platform 'engine|settings|app|ui'
check fileinfo 'engine|settings|app|ui'
check writers 'engine|settings|app|ui'
check engine 'settings|app|ui'
check settings 'app|ui'
exit $status
