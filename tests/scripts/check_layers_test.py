#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The layering check fails, naming the line, on each kind of include that runs against the
layers, and passes a tree that keeps them."""

import importlib.util
import pathlib
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-layers.py"
module_spec = importlib.util.spec_from_file_location("check_layers", SCRIPT)
check_layers = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_layers)


class CheckLayersTest(unittest.TestCase):
    def tree(self, files):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        root = pathlib.Path(folder.name)
        for name, text in files.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        return root

    BASE = {
        "src/common/status.h": "",
        "src/profile/profile_record.h": '#include "common/status.h"\n#include <vector>\n',
        "src/session/model_data.h": '#include "profile/profile_record.h"\n',
        "src/ui/window.h": '#include <QWidget>\n#include "kb_message_target.h"\n',
        "src/pages/keys/custom_page.h": '#include "ui/window.h"\n#include "session/model_data.h"\n',
        "plugins/include/kb_message_target.h": "",
        "plugins/hook/x11.h": '#include "kb_message_target.h"\n#include "common/poster.h"\n',
        "plugins/hook/common/poster.h": "",
        "tools/kbctl/main.cpp": '#include "session/model_data.h"\n#include "stores.h"\n',
        "tools/kbctl/stores.h": "",
    }

    def test_a_tree_that_keeps_the_layers_passes(self):
        self.assertEqual(check_layers.check(self.tree(self.BASE)), [])

    def test_each_wrong_include_is_named(self):
        cases = [
            ("model header includes the session", "src/profile/profile_store.h",
             '#include "session/model_data.h"\n', "profile may not include \"session/model_data.h\""),
            ("model header includes the UI", "src/macro/macro_store.h",
             '#include "ui/window.h"\n', "macro may not include \"ui/window.h\""),
            ("Qt outside the UI library", "src/device/link.cpp",
             "#include <QString>\n", "device may not include <QString>"),
            ("plugin includes src", "plugins/hid/x.h",
             '#include "common/status.h"\n', "plugins may not include \"common/status.h\""),
            ("tool includes the UI", "tools/kbctl/gui.cpp",
             '#include "ui/window.h"\n', "tools may not include \"ui/window.h\""),
            ("UI includes the model", "src/ui/list.cpp",
             '#include "profile/profile_record.h"\n', "ui may not include"),
            ("page includes the program above it", "src/pages/keys/picker.cpp",
             '#include "app/main_wnd.h"\n', "pages may not include"),
            ("model includes a page", "src/keys/key_names.cpp",
             '#include "pages/keys/custom_page.h"\n', "keys may not include"),
            ("unknown header", "src/common/x.cpp",
             '#include "nowhere/x.h"\n', "is not a file of the tree"),
        ]
        for title, name, text, expected in cases:
            with self.subTest(title):
                files = dict(self.BASE)
                files["src/app/main_wnd.h"] = ""
                files[name] = text
                problems = check_layers.check(self.tree(files))
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(f"{name}:1: ", problems[0])
                self.assertIn(expected, problems[0])


if __name__ == "__main__":
    sys.exit(unittest.main())
