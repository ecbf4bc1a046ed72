"""The layer table in scripts/layers, shared by the measuring scripts."""
import os

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_layers(path=os.path.join(REPO, "scripts", "layers")):
    """[(name, [folder, ...]), ...] from the bottom layer up."""
    layers = []
    with open(path, encoding="utf-8") as table:
        for line in table:
            words = line.split("#", 1)[0].split()
            if words:
                layers.append((words[0], [folder.rstrip("/") for folder in words[1:]]))
    return layers


def layer_index(layers, relative_path):
    """Position in `layers` of the layer holding the file, or None: the
    layer naming the longest folder above it wins."""
    best, best_length = None, -1
    for index, (_, folders) in enumerate(layers):
        for folder in folders:
            if relative_path.startswith(folder + "/") and len(folder) > best_length:
                best, best_length = index, len(folder)
    return best


def nested_folders(layers, index):
    """Folders of other layers that lie inside this layer's folders."""
    own = layers[index][1]
    return [
        folder
        for other, (_, folders) in enumerate(layers)
        if other != index
        for folder in folders
        if any(folder.startswith(parent + "/") for parent in own)
    ]
