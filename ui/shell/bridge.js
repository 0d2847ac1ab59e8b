// The page's end of the bridge to the Skinwright host.
//
// The host puts this script first into every page it serves. It opens one
// WebSocket for the window named in the page's address (?window=ID) and
// offers the page the global `external`: external.Name(a, b) sends the
// command to the host and returns a Promise of its result. It answers the
// host's calls of page functions (also while the page awaits a command of its
// own), and in the tab's root page it draws the popups of the host.
(function () {
    'use strict';
    if (window.__skinwrightBridge) {
        return;
    }
    window.__skinwrightBridge = true;

    var windowId = new URLSearchParams(window.location.search).get('window') || '';
    var socket = null;
    var nextId = 1;
    var pending = new Map();
    var outbox = [];
    var documentReady = document.readyState !== 'loading';
    var hostCalls = [];  // host calls and popup messages before the document is ready
    var ended = false;
    var leaving = false;
    var retryDelay = 250;
    var popupOrder = 0;

    // Texts shown by the bridge itself.
    var TEXT_TAKEN_OVER = '此窗口已在另一个标签页中打开。';
    var TEXT_CLOSED = 'Skinwright 已退出，可以关闭此标签页。';
    var TEXT_LOST = '与 Skinwright 的连接已断开，正在重新连接 ...';
    var TEXT_CLOSE_BUTTON = '关闭';

    function addStyleSheet() {
        var link = document.createElement('link');
        link.rel = 'stylesheet';
        link.href = '/shell/bridge.css';
        (document.head || document.documentElement).appendChild(link);
    }

    function send(message) {
        var text = JSON.stringify(message);
        if (socket && socket.readyState === WebSocket.OPEN) {
            socket.send(text);
        } else {
            outbox.push(text);
        }
    }

    function callHost(name, args) {
        return new Promise(function (resolve, reject) {
            if (ended) {
                reject(new Error(name + ': the window is closed'));
                return;
            }
            var id = nextId++;
            pending.set(id, { resolve: resolve, reject: reject, name: name });
            send({ call: name, id: id, args: args });
        });
    }

    var external = new Proxy({}, {
        get: function (target, name) {
            if (typeof name !== 'string' || name === 'then' || name === 'toJSON') {
                return undefined;
            }
            return function () {
                return callHost(name, Array.prototype.slice.call(arguments));
            };
        }
    });
    try {
        window.external = external;
    } catch (ignored) {
        // A read-only external is replaced below.
    }
    if (window.external !== external) {
        Object.defineProperty(window, 'external', {
            value: external, configurable: true, writable: true
        });
    }

    // The address at which the host serves an image file of the project or
    // of the data folder (or one the user chose), by its absolute path.
    window.SkinwrightFileUrl = function (path) {
        return '/file?path=' + encodeURIComponent(String(path));
    };

    // A page function's result as the host reads it.
    function resultText(value) {
        return value === undefined || value === null ? '' : String(value);
    }

    // A browser alert blocks the page until it is dismissed; shown while the
    // host waits for the page's answer it would hold the host's call. Alerts
    // raised while a host call runs are therefore shown after the answer.
    function deferAlert(text) {
        setTimeout(function () {
            window.alert(text);
        }, 0);
    }

    function withDeferredAlerts(run) {
        var original = window.alert;
        window.alert = deferAlert;
        try {
            return run();
        } finally {
            window.alert = original;
        }
    }

    // The expression runner the host's expressions go through: the page's own
    // JsEval when it has one, else the same rules here.
    function runExpression(code) {
        if (typeof window.JsEval === 'function') {
            try {
                return resultText(withDeferredAlerts(function () {
                    return window.JsEval(code);
                }));
            } catch (ignored) {
                return '';
            }
        }
        var expression = String(code).trim();
        if (expression === '') {
            return '';
        }
        if (expression.charAt(expression.length - 1) !== ';') {
            expression += ';';
        }
        try {
            (new Function(expression + "return '';"))();
        } catch (error) {
            deferAlert('JsEval ERROR: ' + (error && error.message !== undefined ? error.message : error));
        }
        return '';
    }

    function answerHostCall(message) {
        if (message.eval !== undefined) {
            send({ return: message.eval, value: runExpression(message.code) });
            return;
        }
        var id = message.invoke;
        var fn = window[message.fn];
        if (typeof fn !== 'function') {
            send({ return: id, error: 'unknown' });
            return;
        }
        var result;
        try {
            result = withDeferredAlerts(function () {
                return fn.apply(window, message.args || []);
            });
        } catch (error) {
            console.error(error);
            send({ return: id, error: 'threw' });
            return;
        }
        Promise.resolve(result).then(function (value) {
            send({ return: id, value: resultText(value) });
        }, function (error) {
            console.error(error);
            send({ return: id, error: 'threw' });
        });
    }

    // Host calls and popups wait until the page's document is complete, so
    // that its functions exist and popups have a body to live in.
    function handleDeferrable(message) {
        if (message.popup !== undefined) {
            popupMessage(message);
        } else {
            answerHostCall(message);
        }
    }

    function onDocumentReady() {
        documentReady = true;
        var calls = hostCalls;
        hostCalls = [];
        calls.forEach(handleDeferrable);
    }

    // Notices over the whole page.
    function showNotice(text) {
        var notice = document.getElementById('sw-notice');
        if (!notice) {
            notice = document.createElement('div');
            notice.id = 'sw-notice';
            notice.className = 'sw-notice';
            var box = document.createElement('div');
            box.className = 'sw-notice-text';
            notice.appendChild(box);
            (document.body || document.documentElement).appendChild(notice);
        }
        notice.firstChild.textContent = text;
    }

    function hideNotice() {
        var notice = document.getElementById('sw-notice');
        if (notice) {
            notice.parentNode.removeChild(notice);
        }
    }

    // Popups drawn in this page: a modal layer with a caption and a frame.
    function findPopup(id) {
        var layers = document.querySelectorAll('.sw-popup-layer');
        for (var i = 0; i < layers.length; ++i) {
            if (layers[i].getAttribute('data-window') === id) {
                return layers[i];
            }
        }
        return null;
    }

    function placePopup(layer) {
        var box = layer.firstChild;
        var width = Number(layer.getAttribute('data-width')) || 400;
        var height = Number(layer.getAttribute('data-height')) || 220;
        box.style.width = width + 'px';
        box.style.height = height + 'px';
        box.style.left = Math.max(0, Math.floor((window.innerWidth - width) / 2)) + 'px';
        box.style.top = Math.max(0, Math.floor((window.innerHeight - height) / 2)) + 'px';
    }

    function openPopup(message) {
        var layer = findPopup(message.window);
        if (!layer) {
            layer = document.createElement('div');
            layer.className = 'sw-popup-layer';
            layer.setAttribute('data-window', message.window);
            layer.style.zIndex = String(10000 + (++popupOrder));
            var box = document.createElement('div');
            box.className = 'sw-popup';
            var caption = document.createElement('div');
            caption.className = 'sw-popup-caption';
            var title = document.createElement('span');
            title.className = 'sw-popup-title';
            var close = document.createElement('span');
            close.className = 'sw-popup-close';
            close.title = TEXT_CLOSE_BUTTON;
            close.addEventListener('click', function () {
                send({ closePopup: message.window });
            });
            caption.appendChild(title);
            caption.appendChild(close);
            var frame = document.createElement('iframe');
            frame.className = 'sw-popup-frame';
            frame.src = message.src || ('/page/108?window=' + encodeURIComponent(message.window));
            box.appendChild(caption);
            box.appendChild(frame);
            layer.appendChild(box);
            (document.body || document.documentElement).appendChild(layer);
        }
        layer.querySelector('.sw-popup-title').textContent = message.title || '';
        layer.setAttribute('data-width', message.width);
        layer.setAttribute('data-height', message.height);
        placePopup(layer);
    }

    function popupMessage(message) {
        var layer;
        if (message.popup === 'open') {
            openPopup(message);
        } else if (message.popup === 'size') {
            layer = findPopup(message.window);
            if (layer) {
                layer.setAttribute('data-width', message.width);
                layer.setAttribute('data-height', message.height);
                placePopup(layer);
            }
        } else if (message.popup === 'close') {
            layer = findPopup(message.window);
            if (layer) {
                layer.parentNode.removeChild(layer);
            }
        } else if (message.popup === 'sync') {
            var open = message.windows || [];
            var layers = document.querySelectorAll('.sw-popup-layer');
            for (var i = 0; i < layers.length; ++i) {
                if (open.indexOf(layers[i].getAttribute('data-window')) < 0) {
                    layers[i].parentNode.removeChild(layers[i]);
                }
            }
        }
    }

    function maximize() {
        try {
            window.moveTo(window.screen.availLeft || 0, window.screen.availTop || 0);
            window.resizeTo(window.screen.availWidth, window.screen.availHeight);
        } catch (ignored) {
            // A tab already fills its window.
        }
    }

    function settle(message) {
        var call = pending.get(message.result);
        if (!call) {
            return;
        }
        pending.delete(message.result);
        if (message.error !== undefined) {
            call.reject(new Error(message.error));
        } else {
            call.resolve(message.value);
        }
    }

    function onMessage(event) {
        var message;
        try {
            message = JSON.parse(event.data);
        } catch (ignored) {
            return;
        }
        if (message.result !== undefined) {
            settle(message);
        } else if (message.invoke !== undefined || message.eval !== undefined ||
                   message.popup !== undefined) {
            if (documentReady) {
                handleDeferrable(message);
            } else {
                hostCalls.push(message);
            }
        } else if (message.navigate !== undefined) {
            ended = true;
            window.location.replace(message.navigate);
        } else if (message.maximize) {
            maximize();
        } else if (message.imagesChanged) {
            // The project's pictures were drawn again (after a settings
            // save): the page reloads the ones it shows.
            window.dispatchEvent(new Event('skinwright-images-changed'));
        } else if (message.takenOver) {
            ended = true;
            showNotice(TEXT_TAKEN_OVER);
        } else if (message.closed) {
            ended = true;
            showNotice(TEXT_CLOSED);
            if (socket) {
                socket.close();
            }
        }
    }

    function failPending(reason) {
        pending.forEach(function (call) {
            call.reject(new Error(call.name + ': ' + reason));
        });
        pending.clear();
        // A call the page was told had failed must not run on a later
        // connection.
        outbox = outbox.filter(function (text) {
            return JSON.parse(text).call === undefined;
        });
    }

    function connect() {
        var scheme = window.location.protocol === 'https:' ? 'wss://' : 'ws://';
        var ws = new WebSocket(scheme + window.location.host + '/ws?window=' +
                               encodeURIComponent(windowId));
        socket = ws;
        ws.addEventListener('open', function () {
            retryDelay = 250;
            hideNotice();
            var queued = outbox;
            outbox = [];
            queued.forEach(function (text) {
                ws.send(text);
            });
        });
        ws.addEventListener('message', onMessage);
        ws.addEventListener('close', function (event) {
            if (socket !== ws) {
                return;
            }
            socket = null;
            // 1009: the host refused a message over its size limit (1 MiB).
            failPending(event.code === 1009
                ? 'a message was too large for the host (over 1 MiB)'
                : 'the connection to the host was lost');
            hostCalls = hostCalls.filter(function (message) {
                return message.popup !== undefined;
            });
            if (ended || leaving) {
                return;
            }
            if (window.top === window) {
                showNotice(TEXT_LOST);
            }
            setTimeout(connect, retryDelay);
            retryDelay = Math.min(retryDelay * 2, 4000);
        });
    }

    addStyleSheet();
    if (!documentReady) {
        document.addEventListener('DOMContentLoaded', onDocumentReady);
    }
    window.addEventListener('pagehide', function () {
        leaving = true;
    });
    window.addEventListener('resize', function () {
        var layers = document.querySelectorAll('.sw-popup-layer');
        for (var i = 0; i < layers.length; ++i) {
            placePopup(layers[i]);
        }
    });
    connect();
})();
