# "Encrypt with Ovalith" / "Decrypt with Ovalith" in the context menu of
# GNOME Files (Nautilus 43 and later, through python3-nautilus) for one
# local file.  Nautilus loads it from /usr/share/nautilus-python/extensions
# when it starts.
from gi.repository import GLib, GObject, Nautilus


def is_container(name):
    # The program's own rule: the name reads exactly "ov2" after its first
    # full stop (the whole name when it has none).
    return name.split(".", 1)[-1] == "ov2"


class OvalithMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        if len(files) != 1:
            return []
        file = files[0]
        if file.get_uri_scheme() != "file" or file.is_directory():
            return []
        path = file.get_location().get_path()
        if not path:
            return []
        verb = "Decrypt" if is_container(file.get_name()) else "Encrypt"
        item = Nautilus.MenuItem(
            name="Ovalith::run", label=verb + " with Ovalith", icon="ovalith"
        )
        item.connect("activate", self.run, path)
        return [item]

    def run(self, _item, path):
        GLib.spawn_async(["ovalith-gtk", path], flags=GLib.SpawnFlags.SEARCH_PATH)
