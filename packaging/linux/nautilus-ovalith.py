# "Encrypt with Ovalith" / "Decrypt with Ovalith" in the context menu of
# GNOME Files (Nautilus 43 and later, through python3-nautilus) for one or
# more local files; a selection holding both kinds gets "Encrypt or Decrypt
# with Ovalith".  The whole selection goes to one ovalith-gtk, which asks
# for the password once.  Nautilus loads it from
# /usr/share/nautilus-python/extensions when it starts.
from gi.repository import GLib, GObject, Nautilus


def is_container(name):
    # The program's own rule: the name reads exactly "ov2" after its first
    # full stop (the whole name when it has none).
    return name.split(".", 1)[-1] == "ov2"


def label(names):
    kinds = {is_container(name) for name in names}
    if kinds == {True}:
        return "Decrypt with Ovalith"
    if kinds == {False}:
        return "Encrypt with Ovalith"
    return "Encrypt or Decrypt with Ovalith"


class OvalithMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        # Files only, and local ones: the program takes paths, not folders.
        if not files or any(
            f.get_uri_scheme() != "file" or f.is_directory() for f in files
        ):
            return []
        paths = [f.get_location().get_path() for f in files]
        if not all(paths):
            return []
        item = Nautilus.MenuItem(
            name="Ovalith::run",
            label=label([f.get_name() for f in files]),
            icon="ovalith",
        )
        item.connect("activate", self.run, paths)
        return [item]

    def run(self, _item, paths):
        # "--": a file named like an option is still a file.
        GLib.spawn_async(
            ["ovalith-gtk", "--"] + paths, flags=GLib.SpawnFlags.SEARCH_PATH
        )
